#pragma once
// Where a translation stands, message by message and in sum: a message is
// translated when its current text differs in any byte from its original
// (the original store's message at the same position, an empty text where
// that store is shorter), untranslated when the two are equal; a translated
// message whose placeholders differ from its original's has a placeholder
// problem (Placeholders.h); a message the review marks mark needs review
// (ReviewMarks.h).
//
// One pass over the texts counts a whole file (Recount); every later change
// updates the counts for the messages it touched (Update), so that an edit
// costs the same in a file of any size.

#include <QByteArrayView>

#include <vector>

class TMsgData;
class TReviewMarks;

class TTranslationStatus
{
public:
    // Looks at every message of Messages against Originals (and Marks, when
    // given).
    void Recount(const TMsgData &messages, const TMsgData &originals, const TReviewMarks *marks = nullptr);
    // Looks again at message Index only, after its text or mark changed.
    void Update(int index, const TMsgData &messages, const TMsgData &originals, const TReviewMarks *marks = nullptr);
    // No file: nothing counted.
    void Clear();

    [[nodiscard]] int Messages() const { return int(m_flags.size()); }
    [[nodiscard]] int Translated() const { return m_translated; }
    [[nodiscard]] int Untranslated() const { return Messages() - m_translated; }
    [[nodiscard]] int Problems() const { return m_problems; }
    [[nodiscard]] int NeedsReview() const { return m_needsReview; }
    // The share translated, in whole percent, rounded down: 100 only when
    // every message is translated; 0 without messages.
    [[nodiscard]] int TranslatedPercent() const;

    [[nodiscard]] bool IsTranslated(int index) const { return Has(index, Translated_); }
    [[nodiscard]] bool HasProblem(int index) const { return Has(index, Problem_); }
    [[nodiscard]] bool NeedsReview(int index) const { return Has(index, Review_); }

private:
    enum Flag : unsigned char { Translated_ = 0x1, Problem_ = 0x2, Review_ = 0x4 };

    [[nodiscard]] bool Has(int index, Flag flag) const
    {
        return index >= 0 && index < Messages() && (m_flags[size_t(index)] & flag) != 0;
    }
    static unsigned char Evaluate(int index, const TMsgData &messages, const TMsgData &originals,
                                  const TReviewMarks *marks);
    void Count(unsigned char flags, int sign);

    std::vector<unsigned char> m_flags; // one per message
    int m_translated = 0;
    int m_problems = 0;
    int m_needsReview = 0;
};

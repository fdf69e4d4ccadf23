#include "translation/TranslationStatus.h"

#include "msgfile/MsgData.h"
#include "translation/Placeholders.h"
#include "translation/ReviewMarks.h"

namespace {

QByteArrayView OriginalOf(int index, const TMsgData &originals)
{
    return index < originals.Count() ? originals.TextView(index) : QByteArrayView();
}

// Equal bytes; a store cloned at load shares its texts with the file's
// store, and then equal texts lie at the same place.
bool SameText(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    return a.data() == b.data() || a == b;
}

} // namespace

unsigned char TTranslationStatus::Evaluate(int index, const TMsgData &messages, const TMsgData &originals,
                                           const TReviewMarks *marks)
{
    const unsigned char review = marks && !marks->IsEmpty() && marks->IsMarked(messages, index) ? Review_ : 0;
    const QByteArrayView text = messages.TextView(index);
    const QByteArrayView original = OriginalOf(index, originals);
    if (SameText(text, original))
        return review;
    return review | Translated_ | (HasPlaceholderProblem(original, text) ? Problem_ : 0);
}

void TTranslationStatus::Count(unsigned char flags, int sign)
{
    if (flags & Translated_)
        m_translated += sign;
    if (flags & Problem_)
        m_problems += sign;
    if (flags & Review_)
        m_needsReview += sign;
}

void TTranslationStatus::Recount(const TMsgData &messages, const TMsgData &originals, const TReviewMarks *marks)
{
    Clear();
    const int count = messages.Count();
    m_flags.resize(size_t(count));
    for (int index = 0; index < count; ++index) {
        const unsigned char flags = Evaluate(index, messages, originals, marks);
        m_flags[size_t(index)] = flags;
        Count(flags, +1);
    }
}

void TTranslationStatus::Update(int index, const TMsgData &messages, const TMsgData &originals,
                                const TReviewMarks *marks)
{
    if (index < 0 || index >= Messages() || index >= messages.Count())
        return;
    unsigned char &flags = m_flags[size_t(index)];
    Count(flags, -1);
    flags = Evaluate(index, messages, originals, marks);
    Count(flags, +1);
}

void TTranslationStatus::Clear()
{
    m_flags.clear();
    m_translated = 0;
    m_problems = 0;
    m_needsReview = 0;
}

int TTranslationStatus::TranslatedPercent() const
{
    if (Messages() == 0)
        return 0;
    return int(qint64(m_translated) * 100 / Messages());
}

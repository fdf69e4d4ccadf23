// libFuzzer target for the review file's reader: any bytes are either read
// or refused with an ETranslationFileError that names a line of the input;
// marks that were read are written and read back equal, and written again
// byte for byte. Anything else aborts with a message.

#include "translation/ReviewMarks.h"
#include "translation/TranslationEntry.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void Fail(const char *what)
{
    std::fprintf(stderr, "fuzz_review: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *input, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(input), qsizetype(size));
    TReviewMarks marks;
    try {
        marks = ParseReviewMarks(bytes);
    } catch (const ETranslationFileError &error) {
        int lines = 1;
        for (size_t i = 0; i < size; ++i)
            lines += input[i] == '\n';
        if (error.Line() < 1 || error.Line() > lines || error.Message().isEmpty())
            Fail("a refusal without a line of the input");
        return 0;
    } catch (const std::exception &error) {
        Fail(error.what());
    } catch (...) {
        Fail("the reader raised something that is not an exception");
    }
    try {
        const QByteArray written = FormatReviewMarks(marks);
        const TReviewMarks readBack = ParseReviewMarks(written);
        if (readBack != marks)
            Fail("the marks written read back differently");
        if (FormatReviewMarks(readBack) != written)
            Fail("the marks read back are written differently");
    } catch (const std::exception &error) {
        Fail(error.what());
    }
    return 0;
}

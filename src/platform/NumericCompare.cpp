#include "platform/NumericCompare.h"

namespace {

bool isDigit(QChar character)
{
    return character >= u'0' && character <= u'9';
}

// The digit run that starts at index, without its leading zeros; index moves past the run.
QStringView digitRun(const QString &text, qsizetype &index)
{
    const qsizetype start = index;
    while (index < text.size() && isDigit(text.at(index)))
        ++index;
    qsizetype significant = start;
    while (significant + 1 < index && text.at(significant) == u'0')
        ++significant;
    return QStringView(text).sliced(significant, index - significant);
}

std::strong_ordering compareRuns(QStringView left, QStringView right)
{
    // Without leading zeros, a longer run is a larger number; runs of one length compare
    // digit by digit.
    if (left.size() != right.size())
        return left.size() <=> right.size();
    const int order = left.compare(right);
    return order <=> 0;
}

} // namespace

std::strong_ordering compareNumerically(const QString &left, const QString &right)
{
    qsizetype leftIndex = 0;
    qsizetype rightIndex = 0;
    while (leftIndex < left.size() && rightIndex < right.size()) {
        const QChar leftCharacter = left.at(leftIndex);
        const QChar rightCharacter = right.at(rightIndex);
        if (isDigit(leftCharacter) && isDigit(rightCharacter)) {
            const auto order = compareRuns(digitRun(left, leftIndex), digitRun(right, rightIndex));
            if (order != 0)
                return order;
            continue;
        }
        if (leftCharacter != rightCharacter)
            return leftCharacter.unicode() <=> rightCharacter.unicode();
        ++leftIndex;
        ++rightIndex;
    }
    return (left.size() - leftIndex) <=> (right.size() - rightIndex);
}

#include "scan/natural_order.h"

#include <algorithm>
#include <numeric>

namespace quillmark {

namespace {

constexpr char firstPrintable = 0x20;
constexpr char lastPrintable = 0x7e;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A collator on the C locale compares code points and ignores numeric mode, so the POSIX locale
// that servers and CI run in gets the neutral English collation instead.
QLocale collationLocale(const QLocale& locale)
{
    if (locale.language() == QLocale::C)
        return QLocale(QLocale::English, QLocale::UnitedStates);
    return locale;
}

// Compares the digit runs starting at a[i] and b[j] by value and moves both indexes past them.
int compareNumbers(const std::string& a, std::size_t& i, const std::string& b, std::size_t& j)
{
    while (i < a.size() && a[i] == '0' && i + 1 < a.size() && isDigit(a[i + 1]))
        ++i;
    while (j < b.size() && b[j] == '0' && j + 1 < b.size() && isDigit(b[j + 1]))
        ++j;
    const std::size_t aStart = i;
    const std::size_t bStart = j;
    while (i < a.size() && isDigit(a[i]))
        ++i;
    while (j < b.size() && isDigit(b[j]))
        ++j;
    const std::size_t aLength = i - aStart;
    const std::size_t bLength = j - bStart;
    if (aLength != bLength)
        return aLength < bLength ? -1 : 1;
    return a.compare(aStart, aLength, b, bStart, bLength);
}

} // namespace

NaturalOrder::NaturalOrder(const QLocale& locale)
    : m_collator(collationLocale(locale))
{
    m_collator.setNumericMode(true);
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);

    std::vector<QString> characters;
    for (char c = firstPrintable; c <= lastPrintable; ++c)
        characters.push_back(QString(QLatin1Char(c)));
    std::stable_sort(characters.begin(), characters.end(),
                     [this](const QString& a, const QString& b) { return compare(a, b) < 0; });
    std::uint16_t rank = 0;
    for (std::size_t k = 0; k < characters.size(); ++k) {
        if (k > 0 && compare(characters[k - 1], characters[k]) != 0)
            ++rank;
        m_asciiRank[characters[k].front().unicode()] = rank;
    }
}

bool NaturalOrder::isFastComparable(const std::string& name) const
{
    return std::all_of(name.begin(), name.end(),
                       [](char c) { return c >= firstPrintable && c <= lastPrintable; });
}

int NaturalOrder::compareFast(const std::string& a, const std::string& b) const
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            if (const int byValue = compareNumbers(a, i, b, j))
                return byValue;
            continue;
        }
        const auto rankA = m_asciiRank[static_cast<unsigned char>(a[i])];
        const auto rankB = m_asciiRank[static_cast<unsigned char>(b[j])];
        if (rankA != rankB)
            return rankA < rankB ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size())
        return 1;
    return j < b.size() ? -1 : 0;
}

std::vector<std::uint32_t> NaturalOrder::collatedOrder(const std::vector<std::string>& names,
                                                       std::vector<QString>& texts) const
{
    std::vector<std::uint32_t> order(names.size());
    std::iota(order.begin(), order.end(), 0u);
    for (const std::string& name : names)
        texts.push_back(QString::fromUtf8(name.data(), qsizetype(name.size())));

    const bool plain = std::all_of(names.begin(), names.end(),
                                   [this](const std::string& n) { return isFastComparable(n); });
    if (plain) {
        std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
            return compareFast(names[a], names[b]) < 0;
        });
        // The fast order is exact only where it agrees with the collator; checking neighbours is
        // enough, because the stable collated order is the only one in which every neighbour is
        // in order (by collation, then by listing position).
        bool agrees = true;
        for (std::size_t k = 0; agrees && k + 1 < order.size(); ++k) {
            const int c = compare(texts[order[k]], texts[order[k + 1]]);
            agrees = c < 0 || (c == 0 && order[k] < order[k + 1]);
        }
        if (agrees)
            return order;
        std::iota(order.begin(), order.end(), 0u);
    }
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return compare(texts[a], texts[b]) < 0;
    });
    return order;
}

void NaturalOrder::sort(std::vector<std::string>& names) const
{
    if (names.size() < 2)
        return;
    std::vector<QString> texts;
    texts.reserve(names.size());
    const std::vector<std::uint32_t> order = collatedOrder(names, texts);
    std::vector<std::string> sorted;
    sorted.reserve(names.size());
    for (std::uint32_t index : order)
        sorted.push_back(std::move(names[index]));
    names = std::move(sorted);
}

} // namespace quillmark

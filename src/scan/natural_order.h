#pragma once

#include <QCollator>
#include <QLocale>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace quillmark {

// The order a file browser gives names: case-insensitive, runs of digits by numeric value, the
// rest by the locale's collation ("Episodio 2" before "Episodio 10"). Names that compare as the
// same keep their given order.
class NaturalOrder {
public:
    // The user's own locale, not the interface's: an Italian window on a Danish system still
    // sorts names as Danish people expect.
    explicit NaturalOrder(const QLocale& locale = QLocale::system());

    // Sorts names given as raw file-name bytes; names that are not UTF-8 sort by their decoded
    // text.
    void sort(std::vector<std::string>& names) const;

    int compare(QStringView a, QStringView b) const { return m_collator.compare(a, b); }

private:
    bool isFastComparable(const std::string& name) const;
    int compareFast(const std::string& a, const std::string& b) const;
    std::vector<std::uint32_t> collatedOrder(const std::vector<std::string>& names,
                                             std::vector<QString>& texts) const;

    QCollator m_collator;
    // Collation rank of each printable ASCII character; the fast path for plain names uses it.
    std::array<std::uint16_t, 128> m_asciiRank{};
};

} // namespace quillmark

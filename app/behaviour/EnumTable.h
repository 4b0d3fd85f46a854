#pragma once

#include <array>
#include <cstddef>
#include <utility>

// A table indexed by an enum, each row written beside its enumerator, built at
// compile time: a row out of its enumerator's place (an enumerator or a row
// inserted on one side only) or none for last, the enum's last enumerator,
// stops the build instead of silently shifting every row after it.
template <class Row, class Enum, std::size_t Size>
consteval std::array<Row, Size> enumTable(Enum last, const std::pair<Enum, Row> (&rows)[Size])
{
    if (static_cast<std::size_t>(last) + 1 != Size)
        throw "not one row for each enumerator";
    std::array<Row, Size> table{};
    for (std::size_t index = 0; index < Size; ++index) {
        if (rows[index].first != static_cast<Enum>(index))
            throw "a row out of its enumerator's place";
        table[index] = rows[index].second;
    }
    return table;
}

// ISortableList: what CSortClass needs of a list control, so that the sorter stays free of
// any widget toolkit. The window library's list views implement it.
#pragma once

#include "tessel/tessel_api.h"

#include <cstdint>
#include <string>

class TESSEL_API ISortableList
{
public:
    // Orders two rows by their data words: negative when the first comes first, positive
    // when it comes after, 0 when either order will do. param is the value handed to
    // SortItems. The comparison is a strict weak ordering, so any standard sort may use it.
    using CompareFunc = int (*)(std::uintptr_t data1, std::uintptr_t data2, std::uintptr_t param);

    virtual ~ISortableList();

    virtual int GetItemCount() const = 0;
    virtual std::string GetItemText(int row, int column) const = 0;
    virtual std::uintptr_t GetItemData(int row) const = 0;
    virtual void SetItemData(int row, std::uintptr_t data) = 0;
    // Reorders the rows (each keeping its data word) so that compare(a, b, param) < 0 puts
    // a before b. A stable sort keeps equal rows in their current order.
    virtual void SortItems(CompareFunc compare, std::uintptr_t param) = 0;

protected:
    ISortableList() = default;
    ISortableList(const ISortableList&) = default;
    ISortableList& operator=(const ISortableList&) = default;
};

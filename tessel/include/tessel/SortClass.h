// CSortClass: sorts a list by the text of one column, read as a given kind of value.
//
// While a sorter exists, every row's data word is replaced by a record that keeps the row's
// own data word and its text in the sort column; the destructor gives each row its own data
// word back. Rows added while a sorter exists keep their data words and sort as an empty
// text. The list must outlive the sorter; both are used on the list's thread only.
#pragma once

#include "tessel/SortableList.h"
#include "tessel/tessel_api.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TESSEL_API CSortClass
{
public:
    enum EDataType
    {
        WholeNumber = 1, // read with the C library's atol
        Text = 2,        // compared without regard to ASCII case
        DateTime = 3,    // mm/dd/yyyy or yyyy-mm-dd, each with an optional hh:mm[:ss]
        Decimal = 4,     // read with the C library's atof
    };

    // Attaches to the list (NULL: a sorter that does nothing) and records each row's text in
    // the column.
    CSortClass(ISortableList* list, int column);
    ~CSortClass();

    CSortClass(const CSortClass&) = delete;
    CSortClass& operator=(const CSortClass&) = delete;

    // Sorts the rows by the recorded texts read as type (an EDataType; any other value
    // leaves the order as a stable sort finds it), ascending or descending. Values of a
    // number or date type that cannot be read sort after those that can (before them when
    // descending), among themselves by their text.
    void Sort(bool ascending, int type);

    struct Record
    {
        std::uintptr_t ownData;
        std::string text;
    };

private:
    struct Context;
    static int Compare(std::uintptr_t data1, std::uintptr_t data2, std::uintptr_t param);

    ISortableList* m_list;
    // Each record's address is the data word its row carries while the sorter lives; the
    // vector is never resized after construction, so the addresses stay valid.
    std::vector<Record> m_records;
    std::unique_ptr<Context> m_context;
};

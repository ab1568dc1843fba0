#include "tessel/SortClass.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// A list with one text column, checking on every sort that the comparison it is handed is a
// strict weak ordering over its rows (a standard sort may crash otherwise).
class FakeList : public ISortableList
{
public:
    explicit FakeList(std::vector<std::string> texts)
    {
        std::uintptr_t data = 1000;
        for (std::string& t : texts)
            m_rows.push_back({std::move(t), data++});
    }

    int GetItemCount() const override { return static_cast<int>(m_rows.size()); }
    std::string GetItemText(int row, int) const override { return At(row).text; }
    std::uintptr_t GetItemData(int row) const override { return At(row).data; }
    void SetItemData(int row, std::uintptr_t data) override
    {
        m_rows[static_cast<std::size_t>(row)].data = data;
    }
    void SortItems(CompareFunc compare, std::uintptr_t param) override
    {
        for (const Row& a : m_rows) {
            EXPECT_EQ(compare(a.data, a.data, param), 0) << "irreflexive: " << a.text;
            for (const Row& b : m_rows) {
                const int ab = compare(a.data, b.data, param);
                EXPECT_EQ(ab, -compare(b.data, a.data, param)) << a.text << " / " << b.text;
                for (const Row& c : m_rows) {
                    if (ab <= 0 && compare(b.data, c.data, param) <= 0) {
                        EXPECT_LE(compare(a.data, c.data, param), 0)
                            << "transitive: " << a.text << ' ' << b.text << ' ' << c.text;
                    }
                }
            }
        }
        std::stable_sort(m_rows.begin(), m_rows.end(), [&](const Row& a, const Row& b) {
            return compare(a.data, b.data, param) < 0;
        });
    }

    std::vector<std::string> Texts() const
    {
        std::vector<std::string> out;
        for (const Row& r : m_rows)
            out.push_back(r.text);
        return out;
    }
    // Each row's data word must be the one it was created with, whatever the order.
    bool OwnDataRestored(const std::vector<std::string>& original) const
    {
        for (const Row& r : m_rows) {
            auto it = std::find(original.begin(), original.end(), r.text);
            if (r.data != 1000 + static_cast<std::uintptr_t>(it - original.begin()))
                return false;
        }
        return true;
    }
    void Add(std::string text, std::uintptr_t data) { m_rows.push_back({std::move(text), data}); }

private:
    struct Row
    {
        std::string text;
        std::uintptr_t data;
    };
    const Row& At(int row) const { return m_rows[static_cast<std::size_t>(row)]; }
    std::vector<Row> m_rows;
};

using Texts = std::vector<std::string>;

struct SortRow
{
    const char* name;
    int type;
    Texts input;
    Texts ascending;
};

TEST(SortClass, EachTypeBothDirectionsRestoresDataWords)
{
    const SortRow rows[] = {
        {"whole numbers by value",
         CSortClass::WholeNumber,
         {"10", "9", "-3", "100", "abc"},
         {"-3", "abc", "9", "10", "100"}},
        {"whole numbers far apart do not overflow",
         CSortClass::WholeNumber,
         {"9223372036854775807", "-9223372036854775807", "0"},
         {"-9223372036854775807", "0", "9223372036854775807"}},
        {"text without case",
         CSortClass::Text,
         {"beta", "Alpha", "gamma", "ALPHA2"},
         {"Alpha", "ALPHA2", "beta", "gamma"}},
        {"dates, then unreadable ones by text",
         CSortClass::DateTime,
         {"NULL", "12/31/2019 23:59:59", "01/02/2020 08:00:00", "2019-06-01", "junk",
          "01/02/2020 07:59:59"},
         {"2019-06-01", "12/31/2019 23:59:59", "01/02/2020 07:59:59", "01/02/2020 08:00:00", "NULL",
          "junk"}},
        {"decimals, with equal values",
         CSortClass::Decimal,
         {"2.5", "-1", "10", "2.50", "nan", "0.1"},
         {"-1", "0.1", "2.5", "2.50", "10", "nan"}},
    };
    for (const SortRow& r : rows) {
        for (bool ascending : {true, false}) {
            FakeList list(r.input);
            {
                CSortClass sorter(&list, 0);
                sorter.Sort(ascending, r.type);
                Texts expected = r.ascending;
                if (!ascending)
                    std::reverse(expected.begin(), expected.end());
                // Equal values keep their order in both directions (stable sort).
                if (!ascending && r.type == CSortClass::Decimal)
                    std::swap(expected[2], expected[3]);
                EXPECT_EQ(list.Texts(), expected) << r.name << (ascending ? " asc" : " desc");
            }
            EXPECT_TRUE(list.OwnDataRestored(r.input)) << r.name;
        }
    }
}

TEST(SortClass, EqualDatesCompareEqual)
{
    FakeList list({"01/05/2020 10:00:00", "b", "01/05/2020 10:00:00"});
    CSortClass sorter(&list, 0);
    sorter.Sort(true, CSortClass::DateTime);
    EXPECT_EQ(list.Texts(), (Texts{"01/05/2020 10:00:00", "01/05/2020 10:00:00", "b"}));
}

TEST(SortClass, UnknownTypeKeepsOrderAndRowsAddedMeanwhileKeepTheirData)
{
    FakeList list({"c", "a", "b"});
    {
        CSortClass sorter(&list, 0);
        sorter.Sort(true, 42);
        EXPECT_EQ(list.Texts(), (Texts{"c", "a", "b"}));
        list.Add("0-added", 77);
        sorter.Sort(true, CSortClass::Text);
        EXPECT_EQ(list.Texts(), (Texts{"0-added", "a", "b", "c"})) << "sorts as empty text";
    }
    EXPECT_EQ(list.GetItemData(0), 77u);
    EXPECT_EQ(list.GetItemData(1), 1001u);
}

TEST(SortClass, NullListIsHarmless)
{
    CSortClass sorter(nullptr, 0);
    sorter.Sort(true, CSortClass::Text);
}

} // namespace

#include "brio/utils.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>

TEST(PaymentCards, EachTypeRule)
{
    struct Row
    {
        const char* name;
        const char* number;
        const char* type;
        int valid;
    };
    const Row rows[] = {
        {"visa 16", "4111111111111111", "VISA", 1},
        {"visa 13", "4222222222222", "visa", 1},
        {"visa 15 digits", "400000000000006", "VISA", 0},
        {"visa failing Luhn", "4111111111111112", "VISA", 0},
        {"mastercard 51", "5100000000000008", "MASTERCARD", 1},
        {"mastercard 55", "5555555555554444", "MasterCard", 1},
        {"mastercard 56", "5600000000000003", "MASTERCARD", 0},
        {"amex 37", "378282246310005", "AMERICANEXPRESS", 1},
        {"amex short name", "378282246310005", "AMEX", 1},
        {"amex 34", "340000000000009", "AMEX", 1},
        {"discover", "6011111111111117", "DISCOVER", 1},
        {"diners 30", "30569309025904", "DINERS", 1},
        {"diners 38", "38520000023237", "DINERS", 1},
        {"carte blanche 36", "36000000000008", "CARTEBLANCHE", 1},
        {"enroute 2014", "201400000000009", "ENROUTE", 1},
        {"enroute 2149", "214900000000003", "ENROUTE", 1},
        {"jcb 3528", "3528000000000007", "JCB", 1},
        {"jcb 3088", "3088000000000009", "JCB", 1},
        {"jcb 3337", "3337000000000008", "JCB", 1},
        {"visa number as mastercard", "4111111111111111", "MASTERCARD", 0},
        {"letters in number", "4111-1111-1111-1111", "VISA", 0},
        {"empty number", "", "VISA", 0},
        {"unknown type checks nothing", "not a number", "SOLO", 1},
        {"type prefix is not the type", "4111111111111111", "VIS", 1},
    };
    for (const Row& r : rows)
        EXPECT_EQ(IsValidCC(r.number, r.type), r.valid) << r.name;
    EXPECT_EQ(IsValidCC(nullptr, "VISA"), 0);
    EXPECT_EQ(IsValidCC("4111111111111111", nullptr), 0);
}

TEST(PaymentCards, AnyType)
{
    for (const char* good :
         {"4111111111111111", "5555555555554444", "378282246310005", "6011000000000004",
          "30569309025904", "3528000000000007", "214900000000003"})
        EXPECT_EQ(IsAnyCCNb(good), 1) << good;
    struct Row
    {
        const char* name;
        const char* number;
    };
    const Row bad[] = {
        {"Luhn fails", "4111111111111112"},
        {"Luhn holds, no type", "0000000000000000"},
        {"19 digits, no type", "4000000000000000006"},
        {"20 digits", "40000000000000000002"},
        {"blank inside", "4111 1111 1111 1111"},
        {"empty", ""},
    };
    for (const Row& r : bad)
        EXPECT_EQ(IsAnyCCNb(r.number), 0) << r.name;
    EXPECT_EQ(IsAnyCCNb(nullptr), 0);
}

TEST(Countries, TableOrderAndSize)
{
    // The stored order; every code maps to a name that maps back to the same code.
    const char* codes =
        "AD AE AF AG AI AL AM AN AO AQ AR AS AT AU AW AZ BA BB BD BE BF BG BH BI BJ BM BN BO BR "
        "BS BT BV BW BY BZ CA CC CF CG CH CI CK CL CM CN CO CR CS CU CV CX CY CZ DE DJ DK DM DO "
        "DZ EC EE EG EH ES ET FI FJ FK FM FO FR FX GA GB GD GE GH GI GL GP GQ GF GM GN GR GT GU "
        "GW GY HK HM HN HR HT HU ID IE IL IN IO IQ IR IS IT JM JO JP KE KG KH KI KM KN KP KR KW "
        "KY KZ LA LB LC LI LK LR LS LT LU LV LY MA MC MD MG MH ML MM MN MO MP MQ MR MS MT MU MV "
        "MW MX MY MZ NA NC NE NF NG NI NL NO NP NR NT NU NZ OM PA PE PF PG PH PK PL PM PN PT PR "
        "PW PY QA RE RO RU RW SA SB SC SD SE SG SH SI SJ SK SL SM SN SO SR ST SU SV SY SZ TC TD "
        "TF TG TH TJ TK TM TN TO TP TR TT TV TW TZ UA UG UK UM US UY UZ VA VC VE VG VI VN VU WF "
        "WS YE YU ZA ZM";
    std::istringstream in(codes);
    std::string code;
    int count = 0;
    while (in >> code) {
        ++count;
        const char* name = CountryAbv2Name(code.c_str());
        ASSERT_NE(name, nullptr) << code;
        ASSERT_NE(CountryName2Abv(name), nullptr) << name;
        EXPECT_EQ(CountryName2Abv(name), code) << name;
    }
    EXPECT_EQ(count, 237);
    EXPECT_STREQ(CountryAbv2Name("AD"), "Andorra");
    EXPECT_STREQ(CountryAbv2Name("ZM"), "Zambia");
}

TEST(Countries, StoredSpellingsAndLookups)
{
    struct Row
    {
        const char* code;
        const char* name;
    };
    const Row rows[] = {
        {"AN", "Netherland Antilles"},
        {"AZ", "Azerbaidjan"},
        {"BD", "Banglades"},
        {"BT", "Buthan"},
        {"CS", "Czechoslovakia"},
        {"FX", "France (European Territory)"},
        {"GB", "Great Britain (UK)"},
        {"KG", "Kirgistan"},
        {"NT", "Neutral Zone"},
        {"PG", "Papua New"},
        {"SU", "Soviet Union"},
        {"UK", "United Kingdom"},
        {"US", "United States"},
        {"YU", "Yugoslavia"},
        {"FR", "France"},
    };
    for (const Row& r : rows)
        EXPECT_STREQ(CountryAbv2Name(r.code), r.name) << r.code;

    EXPECT_STREQ(CountryAbv2Name("fr"), "France");
    EXPECT_STREQ(CountryName2Abv("fRANCE"), "FR");
    EXPECT_STREQ(CountryName2Abv("france (european territory)"), "FX");
    EXPECT_EQ(CountryAbv2Name("XX"), nullptr);
    EXPECT_EQ(CountryAbv2Name("F"), nullptr);
    EXPECT_EQ(CountryAbv2Name("FRA"), nullptr);
    EXPECT_EQ(CountryName2Abv("Franc"), nullptr);
    EXPECT_EQ(CountryName2Abv("Atlantis"), nullptr);
    EXPECT_EQ(CountryAbv2Name(nullptr), nullptr);
    EXPECT_EQ(CountryName2Abv(nullptr), nullptr);
}

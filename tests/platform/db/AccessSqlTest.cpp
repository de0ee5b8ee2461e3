#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "platform/db/AccessSql.h"

using wendra::DateTime;
using wendra::db::dateLiteral;
using wendra::db::parseDateLiteral;
using wendra::db::translateAccessSql;

TEST(DbDateLiteral, WrittenWithEnglishMonthsWhateverTheLocale) {
    // Any installed locale other than C will do; the literal must not follow it.
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "C.UTF-8", "C"}) {
        if (std::setlocale(LC_ALL, name) == nullptr) continue;
        EXPECT_EQ(dateLiteral(DateTime::ymd(2024, 3, 5, 14, 7, 9)), "#5 Mar 2024 14:07:09#") << name;
        EXPECT_EQ(dateLiteral(DateTime::ymd(2024, 1, 1)), "#1 Jan 2024 00:00:00#") << name;
        EXPECT_EQ(dateLiteral(DateTime::ymd(1999, 12, 31, 23, 59, 59)), "#31 Dec 1999 23:59:59#") << name;
    }
    std::setlocale(LC_ALL, "C");
}

TEST(DbDateLiteral, ReadsBackWhatIsWritten) {
    for (int month = 1; month <= 12; ++month) {
        for (const DateTime d : {DateTime::ymd(2024, month, 1), DateTime::ymd(1601, month, 28, 23, 59, 59),
                                 DateTime::ymd(9999, month, 9, 12, 0, 1)}) {
            std::string text = dateLiteral(d);
            ASSERT_EQ(parseDateLiteral(text.substr(1, text.size() - 2)), d) << text;
        }
    }
    EXPECT_EQ(parseDateLiteral("30 Dec 1899 00:00:00"), DateTime());
    EXPECT_EQ(parseDateLiteral(" 5 mar 2024 "), DateTime::ymd(2024, 3, 5));
    EXPECT_EQ(parseDateLiteral("5 MAR 2024 9:05"), DateTime::ymd(2024, 3, 5, 9, 5));
}

TEST(DbDateLiteral, RefusesOtherFormsAndDaysThatDoNotExist) {
    for (const char* text : {"", "5 March 2024", "5 Mär 2024", "5 Mrz 2024", "2024-03-05", "3/5/2024", "31 Feb 2023",
                             "29 Feb 2023", "5 Mar 2024 24:00:00", "5 Mar 2024 12:60", "5 Mar 2024 14:07:09 x",
                             "5 Mar 12024", "105 Mar 2024", "5 Mar 2024 14", "5Mar 2024"}) {
        EXPECT_FALSE(parseDateLiteral(text).has_value()) << text;
    }
}

TEST(DbTranslate, LiteralsInsideQuotedTextStayText) {
    std::string error;
    const auto t = translateAccessSql(
        "SELECT * FROM Events WHERE UniDesc = 'a #1 Jan 2024# True * isnull(x) ; '' \"' AND AllDayEvent = True", error);
    ASSERT_TRUE(t.has_value()) << error;
    ASSERT_EQ(t->parameters.size(), 2u);
    EXPECT_EQ(std::get<std::string>(t->parameters[0]), "a #1 Jan 2024# True * isnull(x) ; ' \"");
    EXPECT_EQ(std::get<std::int64_t>(t->parameters[1]), 1);
    EXPECT_EQ(t->sql.find("True"), std::string::npos);
    EXPECT_EQ(t->sql.find('#'), std::string::npos);
}

TEST(DbTranslate, NamesThatOnlyContainAKeywordAreLeftAlone) {
    std::string error;
    const auto t = translateAccessSql("SELECT TrueValue, [True], isnull_count FROM t WHERE isnull (x)", error);
    ASSERT_TRUE(t.has_value()) << error;
    EXPECT_TRUE(t->parameters.empty());
    EXPECT_NE(t->sql.find("TrueValue"), std::string::npos);
    EXPECT_NE(t->sql.find("[True]"), std::string::npos);
    EXPECT_NE(t->sql.find("isnull_count"), std::string::npos);
    EXPECT_NE(t->sql.find("IS NULL"), std::string::npos);
}

TEST(DbTranslate, RefusesWhatIsNotOneStatementOfTheDialect) {
    for (const char* text : {"DELETE FROM Events; DELETE FROM XData", "SELECT 1; SELECT 2", "SELECT 1;;",
                             "SELECT 1 -- x", "SELECT /* x */ 1", "SELECT * FROM t WHERE a = ?",
                             "SELECT * FROM t WHERE a = :a", "SELECT * FROM t WHERE a = @a",
                             "SELECT 'unclosed", "SELECT \"unclosed", "SELECT #1 Jan 2024", "SELECT #tomorrow#",
                             "SELECT (1", "SELECT 1)", "SELECT [unclosed", "", "   ", ";"}) {
        std::string error;
        EXPECT_FALSE(translateAccessSql(text, error).has_value()) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
    std::string error;
    // SQLite would read up to the NUL and drop the rest unseen.
    EXPECT_FALSE(translateAccessSql(std::string("SELECT 1\0 garbage", 17), error).has_value());
    EXPECT_TRUE(translateAccessSql("SELECT 1 ;  \n", error).has_value()) << error;
}

#include <gtest/gtest.h>

#include "host_log.h"

namespace {

using hostsim::Action;
using hostsim::ParseError;
using hostsim::ParseHostLog;

const char kHead[] =
    "SOLSTICE-RACE-LOG 1\n"
    "STATION EA4ZZZ EA\n"
    "CONTEST 2026-06-20 12:00 2026-06-21 12:00\n";

std::string ErrorOf(const std::string& text) {
    try {
        ParseHostLog(text, "t.log");
    } catch (const ParseError& e) {
        return e.what();
    }
    return "no error";
}

TEST(HostLog, ReadsEveryLineKindInOrder) {
    hostsim::HostLog log =
        ParseHostLog(std::string(kHead) +
                         "MODE SSB\r\n"
                         "# a comment\n"
                         "\n"
                         "QSO 2026-06-20 12:01:30 7012500 SSB EA8XX 59 - 59 tf 40m EA8 EA8\n"
                         "DEL 2026-06-20 12:01:30 7012500 SSB EA8XX 59 001 59 tf 40m EA8 EA8\n"
                         "CHECK EA0ZZ CW 20m EA EA0\n"
                         "EXCH - EA\n",
                     "t.log");
    EXPECT_EQ(log.ownCall, "EA4ZZZ");
    EXPECT_EQ(log.ownPrefix, "EA");
    EXPECT_FALSE(log.cw);
    EXPECT_EQ(log.start.Format("%Y-%m-%d %H%M"), "2026-06-20 1200");
    EXPECT_EQ(log.end.Format("%d.%m.%Y"), "21.06.2026");
    ASSERT_EQ(log.actions.size(), 4u);
    EXPECT_EQ(log.qsoCount, 1);
    const Action& add = log.actions[0];
    EXPECT_EQ(add.kind, Action::Add);
    EXPECT_EQ(add.line, 7);
    EXPECT_EQ(add.qso.time.Format("%H:%M"), "12:01");
    EXPECT_EQ(add.qso.freqHz, 7012500u);
    EXPECT_EQ(add.qso.exchSent, "");  // "-" is an empty field
    EXPECT_EQ(add.qso.exchRcvd, "tf");
    EXPECT_EQ(add.qso.prefixText, "EA8");
    EXPECT_EQ(log.actions[1].kind, Action::Remove);
    EXPECT_EQ(log.actions[1].qso.exchSent, "001");
    EXPECT_EQ(log.actions[2].kind, Action::CheckCall);
    EXPECT_EQ(log.actions[2].qso.prefixText, "EA0");
    EXPECT_EQ(log.actions[3].kind, Action::CheckExchange);
    EXPECT_EQ(log.actions[3].exchange, "");
}

TEST(HostLog, ErrorsNameFileLineAndField) {
    EXPECT_EQ(ErrorOf(""), "t.log:0: empty log: no header line");
    EXPECT_EQ(ErrorOf("QSO 1\n"), "t.log:1: first line must be the header 'SOLSTICE-RACE-LOG 1'");
    EXPECT_EQ(ErrorOf("SOLSTICE-RACE-LOG 1\nCONTEST 2026-06-20 12:00 2026-06-21 12:00\n"),
              "t.log:2: no STATION line");
    std::string qso = std::string(kHead) + "QSO 2026-06-20 12:00 ";
    EXPECT_EQ(ErrorOf(qso + "-5 CW A 599 1 599 1 20m K K1\n"),
              "t.log:4: field FREQ: not a frequency in hertz: '-5'");
    EXPECT_EQ(ErrorOf(qso + "99999999999 CW A 599 1 599 1 20m K K1\n"),
              "t.log:4: field FREQ: not a frequency in hertz: '99999999999'");
    EXPECT_NE(ErrorOf(qso + "7000000 CW A 599 1 599 1 20m K\n").find("found 11"),
              std::string::npos);
    EXPECT_NE(ErrorOf(std::string(kHead) + "QSO 2026-02-30 12:00 7000000 CW A 5 1 5 1 20m K K1\n")
                  .find("t.log:4: field DATE TIME: not a date and time: '2026-02-30 12:00'"),
              std::string::npos);
    EXPECT_NE(ErrorOf(std::string(kHead) + "QSO 2026-06-20 12:0 7000000 CW A 5 1 5 1 20m K K1\n")
                  .find("not a date and time"),
              std::string::npos);
    EXPECT_NE(ErrorOf(std::string(kHead) + "MODE RTTY\n").find("t.log:4: field MODE"),
              std::string::npos);
    EXPECT_NE(ErrorOf(std::string(kHead) + "ADD x\n").find("unknown line kind 'ADD'"),
              std::string::npos);
}

}  // namespace

// The 64-bit DLL under Wine, driven as the host drives it.
#include <gtest/gtest.h>

#include "host_exports.h"

namespace {

const char* const kPlain[] = {"setVersion", "GetNumberOfSets", "GetExchgCount0", "GetSetName",
                              "SetupSet0",  "CheckCall0",      "IsValidExchg0",  "ResetStats0",
                              "AddData0",   "RemoveData0",     "GetResult0"};

TEST(Spine, LoadsAndFindsEveryPlainName) {
    HostExports dll;
    ASSERT_TRUE(dll.Loaded()) << "LoadLibrary failed: " << GetLastError();
    for (const char* name : kPlain)
        EXPECT_NE(dll.Proc(name), nullptr) << name;
}

TEST(Spine, DecoratedNamesLeadToThePlainFunctions) {
    HostExports dll;
    ASSERT_TRUE(dll.Loaded());
    // The 64-bit build carries the 32-bit host's decorated names too; both lead to one body.
    EXPECT_EQ(dll.Proc("?GetSetName@@YAPBDH@Z"), dll.Proc("GetSetName"));
    EXPECT_EQ(dll.Proc("?CheckCallFunc0@@YAHPBDII00000000000HHHNN0000000PAD1@Z"),
              dll.Proc("CheckCall0"));
    EXPECT_EQ(dll.Proc("?StatsIsValidExchg0@@YAHPBD000HHH@Z"), dll.Proc("IsValidExchg0"));
    EXPECT_EQ(dll.Proc("?StatsGetExchgCount0@@YAHPBD00@Z"), dll.Proc("GetExchgCount0"));
    int decorated = 0;
    for (const char* probe :
         {"?setVersion@@YAKPBD@Z", "?GetNumberOfSets@@YAHXZ", "?SetupSet0@@YAXXZ",
          "?ResetStats0@@YAHPBDH0PAVCOleDateTime@@10000000000HHHNN000@Z",
          "?AddData0@@YAHPBD0PAVCOleDateTime@@111II000000000000000HHHNN00000@Z",
          "?RemoveData0@@YAHPBD0PAVCOleDateTime@@111II000000000000000HHHNN00000@Z",
          "?GetResult0@@YAPBDPAH@Z"}) {
        decorated += dll.Proc(probe) != nullptr;
    }
    EXPECT_EQ(decorated, 7);
}

TEST(Spine, SmallExportsAnswerAsTheHostExpects) {
    HostExports dll;
    ASSERT_TRUE(dll.Loaded());
    EXPECT_EQ(dll.Get<HostExports::IntVoid>("GetNumberOfSets")(), 1);
    EXPECT_EQ(dll.Get<HostExports::ExchgCount>("GetExchgCount0")(nullptr, nullptr, nullptr), 1);
    auto name = dll.Get<HostExports::SetName>("GetSetName");
    EXPECT_STREQ(name(0), "SOLSTICE-RACE(C)");
    ASSERT_NE(name(1), nullptr);
    EXPECT_STREQ(name(1), "");
    EXPECT_STREQ(name(-1), "");
    EXPECT_EQ(dll.Get<HostExports::SetVersion>("setVersion")(nullptr), 0ul);
}

TEST(Spine, NullTextsAndDatesDoNotCrash) {
    TempCurrentFolder folder;
    HostExports dll;
    ASSERT_TRUE(dll.Loaded());
    auto reset = dll.Get<HostExports::Reset>("ResetStats0");
    EXPECT_EQ(reset(nullptr, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 0, 0, 0, nullptr,
                    nullptr, nullptr),
              1);
    auto add = dll.Get<HostExports::Qso>("AddData0");
    EXPECT_EQ(
        add(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, nullptr, nullptr, nullptr,
            nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
            nullptr, nullptr, nullptr, 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr),
        0);
    auto check = dll.Get<HostExports::CheckCallFn>("CheckCall0");
    check(nullptr, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
          nullptr, nullptr, nullptr, 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
          nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(dll.Get<HostExports::IsValidExchgFn>("IsValidExchg0")(nullptr, nullptr, nullptr,
                                                                    nullptr, 0, 0, 0),
              0);
    EXPECT_NE(dll.Get<HostExports::Result>("GetResult0")(nullptr), nullptr);
}

}  // namespace

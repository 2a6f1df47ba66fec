#include "textcontrol/ScpServerCommandSnapshot.h"

#include <gtest/gtest.h>

#include <functional>

#include "ScpModelTestSupport.h"
#include "ScpServerTestSupport.h"

using namespace ScpTest;

namespace {

using Call = GridParameters::Call;

class ScpSnapshotCommandsTest : public ServedClientTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(startSocketLayers());
        model.categories[""] = {true, 2, false, 5};
        model.categories["scene"] = {true, 7, true, 12};
        model.longTitle = std::string(65, 'T');
        serve(Models{&model, nullptr});
    }
    // The model's snapshot calls since the last look, read on the server's thread.
    std::vector<Call> takeCalls()
    {
        return owner->call([&] {
            std::vector<Call> out;
            out.swap(model.calls);
            return out;
        });
    }

    GridParameters model;
};

struct Case {
    const char* request;
    std::string reply;
    std::vector<Call> calls;  // what reached the model
};

TEST_F(ScpSnapshotCommandsTest, AnswersRawSnapshotCommands)
{
    const std::string cutTitle = "\"" + std::string(64, 'T') + "\"";
    const Case cases[] = {
        {"sscurrent", "OK sscurrent 2 unmodified", {}},
        {"sscurrent_ex scene", "OK sscurrent_ex scene 7 modified", {}},
        {"SSCURRENT_EX Scene", "ERROR sscurrent_ex NoPermission", {}},  // passed on as written
        {"sscurrent_ex", "ERROR sscurrent_ex WrongFormat", {}},
        {"ssrecall 3", "OK ssrecall 3", {{"recall", 0, "", 3}}},
        {"ssrecall 5", "ERROR ssrecall InvalidArgument", {{"recall", 0, "", 5}}},  // the model's answer
        {"ssrecall -1", "ERROR ssrecall InvalidArgument", {}},
        {"ssrecall", "ERROR ssrecall WrongFormat", {}},
        {"ssrecall_ex scene 11", "OK ssrecall_ex scene 11", {{"recall", 0, "scene", 11}}},
        {"ssrecall_ex scene -1", "ERROR ssrecall_ex InvalidArgument", {}},
        {"ssrecall_ex other 0", "ERROR ssrecall_ex NoPermission", {{"recall", 0, "other", 0}}},
        {"ssupdate", "OK ssupdate 2", {{"update", 0, "", 2}}},
        {"ssupdate 4", "OK ssupdate 2", {{"update", 0, "", 2}}},  // always the current one
        {"ssupdate_ex scene 4", "OK ssupdate_ex scene 4", {{"update", 0, "scene", 4}}},
        {"ssupdate_ex scene -1", "ERROR ssupdate_ex InvalidArgument", {{"update", 0, "scene", 0xFFFFFFFFu}}},
        {"ssupdate_ex scene", "ERROR ssupdate_ex WrongFormat", {}},
        {"ssinfo 2", "OK ssinfo 2 \"003\" \"Title 2\" \"Comment 2\" preinst", {}},
        {"ssinfo 1", "OK ssinfo 1 \"002\" \"Title 1\" \"Comment 1\" user", {}},
        {"ssinfo 4", "OK ssinfo 4 \"005\" \"Title 4\" \"Comment 4\" ?", {}},
        {"ssinfo 5", "ERROR ssinfo InvalidArgument", {}},
        {"ssinfo -1", "ERROR ssinfo InvalidArgument", {}},
        {"ssinfo_ex scene 3", "OK ssinfo_ex scene 3 \"004\" \"Title 3\" \"Comment 3\" reserve", {}},
        {"ssinfo_ex scene 10", "OK ssinfo_ex scene 10 \"011\" \"Title 10\" \"Comment 10\" empty", {}},
        {"ssinfo_ex scene 9", "OK ssinfo_ex scene 9 \"010\" " + cutTitle + " \"Comment 9\" ?", {}},
        {"ssinfo_ex scene -2", "ERROR ssinfo_ex InvalidArgument", {}},
        {"ssnum", "OK ssnum 5", {}},
        {"ssnum_ex scene", "OK ssnum_ex scene 12", {}},
        {"ssnum_ex nothing", "OK ssnum_ex nothing 0", {}},  // never a failure
        {"ssnum_ex", "ERROR ssnum_ex WrongFormat", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.request);
        EXPECT_EQ(c.reply, client->ask(c.request));
        EXPECT_EQ(c.calls, takeCalls());
    }
}

TEST_F(ScpSnapshotCommandsTest, AnswersJsonSnapshotCommands)
{
    ASSERT_EQ(R"({"report":"OK","command":"scpmode","tag":"format","data":"json"})",
              client->ask("scpmode format json"));
    const Case cases[] = {
        {R"({"command":"sscurrent"})", R"({"report":"OK","command":"sscurrent","index":2,"status":"unmodified"})", {}},
        {R"({"command":"sscurrent_ex","category":"scene"})",
         R"({"report":"OK","command":"sscurrent_ex","category":"scene","index":7,"status":"modified"})", {}},
        {R"({"command":"ssrecall_ex","index":1,"category":"scene"})",
         R"({"report":"OK","command":"ssrecall_ex","category":"scene","index":1})", {{"recall", 0, "scene", 1}}},
        {R"({"command":"ssupdate"})", R"({"report":"OK","command":"ssupdate","index":2})", {{"update", 0, "", 2}}},
        {R"({"command":"ssupdate_ex","category":"scene","index":-1})",
         R"({"report":"ERROR","command":"ssupdate_ex","errorid":"InvalidArgument"})",
         {{"update", 0, "scene", 0xFFFFFFFFu}}},
        {R"({"command":"ssinfo_ex","category":"scene","index":1})",
         R"({"report":"OK","command":"ssinfo_ex","category":"scene","index":1,"numtext":"002","title":"Title 1",)"
         R"("comment":"Comment 1","attrib":"user"})",
         {}},
        {R"({"command":"ssnum_ex","category":"scene"})",
         R"({"report":"OK","command":"ssnum_ex","category":"scene","number":12})", {}},
        {R"({"command":"ssrecall"})", R"({"report":"ERROR","command":"ssrecall","errorid":"WrongFormat"})", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.request);
        EXPECT_EQ(c.reply, client->ask(c.request));
        EXPECT_EQ(c.calls, takeCalls());
    }
}

TEST_F(ScpSnapshotCommandsTest, UpdateWithoutACurrentSnapshotStoresNothing)
{
    owner->call([&] {
        model.categories[""].hasCurrent = false;
        model.categories.erase("scene");
        return 0;
    });
    EXPECT_EQ("ERROR ssupdate NoPermission", client->ask("ssupdate"));
    EXPECT_EQ("ERROR sscurrent NoPermission", client->ask("sscurrent"));
    EXPECT_EQ("ERROR sscurrent_ex NoPermission", client->ask("sscurrent_ex scene"));
    EXPECT_TRUE(takeCalls().empty());
    // The session index reaches the model: a second client is session 1.
    Client second(owner->port);
    ASSERT_TRUE(owner->waitEnabled(2));
    EXPECT_EQ("OK ssrecall 1", second.ask("ssrecall 1"));
    EXPECT_EQ((std::vector<Call>{{"recall", 1, "", 1}}), takeCalls());
    owner->call([&] {
        model.categories.clear();
        return 0;
    });
    EXPECT_EQ("OK ssnum 0", client->ask("ssnum"));
}

}  // namespace

#include "tools/site_server/site_routes.h"

#include "platform/http_exchange.h"
#include "tests/support/http_test_server.h"
#include "tests/support/no_proxy.h"

#include <gtest/gtest.h>
#include <json/json.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

namespace {

constexpr char kReportBody[] =
    "id=ID&pid=PID&d=&cpu=CPU&MixedMACs=IM001A2B3C4D5E%0AGM000000000000"
    "&WinAccount=a%26b+c&WinDomain=%C0%EE";

Json::Value ParseJson(const std::string& text)
{
    Json::Value root;
    std::string errors;
    const std::unique_ptr<Json::CharReader> reader(Json::CharReaderBuilder().newCharReader());
    EXPECT_TRUE(reader->parse(text.data(), text.data() + text.size(), &root, &errors)) << errors;
    return root;
}

class SiteRoutesTest : public testing::Test {
protected:
    void SetUp() override
    {
        ClearProxyEnvironment();
        m_routes.install(m_server.server());
        m_server.start();
    }

    HttpExchangeResult Post(const std::string& object, const std::string& body)
    {
        HttpExchangeRequest request;
        request.address = m_server.baseUrl() + object;
        request.body = body;
        request.readAnswer = true;
        return PostForm(request);
    }

    std::string Get(const std::string& target)
    {
        httplib::Client client("127.0.0.1", m_server.port());
        const httplib::Result result = client.Get(target.c_str());
        EXPECT_TRUE(result);
        EXPECT_EQ(result ? result->status : 0, 200);
        return result ? result->body : std::string();
    }

    SiteRoutes m_routes{"srv01"};
    HttpTestServer m_server;
};

TEST_F(SiteRoutesTest, DirectoryAnswersTheDomainAndRecordsTheCode)
{
    const std::string code = " \xB1\xB1\xBE\xA9+01 ";  // GBK, blanks and a plus as typed

    const HttpExchangeResult result = Post("/home/GetCityGuidDomain?CityGuid=" + code, "");

    ASSERT_EQ(result.outcome, HttpExchangeOutcome::Sent);
    EXPECT_EQ(ParseJson(result.answer)["Domain"].asString(), "srv01");
    EXPECT_EQ(m_routes.lookups(), std::vector<std::string>{code});
    EXPECT_EQ(ParseJson(Get("/lookups"))[0].asString(), " 北京+01 ");
}

TEST_F(SiteRoutesTest, RecordsAndDecodesTheReport)
{
    ASSERT_EQ(Post("/Account/LogOn", kReportBody).outcome, HttpExchangeOutcome::Sent);

    const std::vector<DeviceReport> reports = m_routes.reports();
    ASSERT_EQ(reports.size(), 1u);
    const DeviceReport& report = reports.front();
    EXPECT_EQ(report.body, kReportBody);
    const std::vector<std::pair<std::string, std::string>> expected{
        {"id", "ID"},
        {"pid", "PID"},
        {"d", ""},
        {"cpu", "CPU"},
        {"MixedMACs", "IM001A2B3C4D5E\nGM000000000000"},
        {"WinAccount", "a&b c"},
        {"WinDomain", "\xC0\xEE"},
    };
    EXPECT_EQ(report.fields, expected);

    const Json::Value listed = ParseJson(Get("/reports"));
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0]["body"].asString(), kReportBody);
    EXPECT_EQ(listed[0]["fields"]["MixedMACs"].asString(), "IM001A2B3C4D5E\nGM000000000000");
    EXPECT_EQ(listed[0]["fields"]["WinDomain"].asString(), "李");  // GBK read as such
}

TEST_F(SiteRoutesTest, LoginPageShowsTheQueryInItsTitle)
{
    EXPECT_EQ(LoginPageTitle("ID", "PID", "CPU"), "登录 pid=PID cpu=CPU id=ID");

    const std::string page = Get("/Account/LogOn?version=1.20140927&id=ID&pid=PID&cpu=CPU");

    EXPECT_NE(page.find("<title>登录 pid=PID cpu=CPU id=ID</title>"), std::string::npos) << page;
    EXPECT_NE(page.find("1.20140927"), std::string::npos);
}

TEST_F(SiteRoutesTest, LoginPageEscapesItsValues)
{
    const std::string page = Get("/Account/LogOn?id=%3Cb%3E&pid=a%26b&cpu=");

    EXPECT_NE(page.find("<title>登录 pid=a&amp;b cpu= id=&lt;b&gt;</title>"), std::string::npos)
        << page;
    EXPECT_EQ(page.find("<b>"), std::string::npos);
}

// Each demo page is linked from the login page by its title and served as it stands.
TEST_F(SiteRoutesTest, LoginPageLinksEveryDemoPage)
{
    const std::string login = Get("/Account/LogOn?id=I&pid=P&cpu=C");

    EXPECT_NE(login.find("<a href=\"/demo/popups.html\">弹出窗口</a>"), std::string::npos) << login;
    EXPECT_NE(Get("/demo/popups.html").find("<title>弹出窗口</title>"), std::string::npos);
}

TEST_F(SiteRoutesTest, ServesTheFallbackPage)
{
    EXPECT_NE(Get("/fallback.html").find(std::string("<title>") + kFallbackPageTitle + "</title>"),
              std::string::npos);
}

// The program the demo starts: it says where it listens and stops on SIGTERM.
TEST(SiteServerProgramTest, ListensAndStopsOnSigterm)
{
    ClearProxyEnvironment();
    int output[2];
    ASSERT_EQ(pipe(output), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        dup2(output[1], STDOUT_FILENO);
        execl(SITE_SERVER_PATH, "site_server", "--address", "127.0.0.1", "--port", "0", "--domain",
              "srv01", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(output[1]);
    FILE* lines = fdopen(output[0], "r");
    char line[256] = {};
    const bool gotLine = fgets(line, sizeof line, lines) != nullptr;
    int port = 0;
    const bool listening = gotLine && std::sscanf(line, "listening on 127.0.0.1:%d", &port) == 1;

    if (listening) {
        HttpExchangeRequest lookup;
        lookup.address = "http://127.0.0.1:" + std::to_string(port) + "/home/GetCityGuidDomain?CityGuid=1";
        lookup.readAnswer = true;
        const HttpExchangeResult result = PostForm(lookup);
        EXPECT_EQ(result.outcome, HttpExchangeOutcome::Sent);
        EXPECT_EQ(ParseJson(result.answer)["Domain"].asString(), "srv01");
        EXPECT_NE(fgets(line, sizeof line, lines), nullptr);
        EXPECT_STREQ(line, "lookup CityGuid=1 -> Domain=srv01\n");
    }
    kill(child, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    fclose(lines);
    EXPECT_TRUE(listening) << line;
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace

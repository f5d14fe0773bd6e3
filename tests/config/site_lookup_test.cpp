#include "config/site_provisioning.h"

#include "config/config_file.h"
#include "tests/support/locale_scope.h"
#include "tests/support/message_recorder.h"
#include "tests/support/working_directory.h"
#include "tests/support/temporary_folder.h"
#include "tests/support/http_test_server.h"
#include "tests/support/misbehaving_server.h"
#include "tests/support/no_proxy.h"
#include "tests/support/refusing_port.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr char kObject[] = "/home/GetCityGuidDomain";
constexpr char kFileName[] = "QLX32-bs.ini";
constexpr char kAnswerFileName[] = "key.json";
// What a first start leaves when the last lookup gave an empty host.
constexpr char kOldFile[] = "[QLXBSINFO]\r\nHttpServer=\r\nPort=80\r\n";

std::string ProvisionedFile(const std::string& host)
{
    return "[QLXBSINFO]\r\nHttpServer=" + host
        + "\r\nPort=80\r\nPath=/Account/LogOn\r\nPara=--disable-plugins\r\nBrowserPath=";
}

class SiteLookupTest : public testing::Test {
protected:
    void SetUp() override
    {
        ClearProxyEnvironment();
        WriteBytes(kFileName, kOldFile);
    }

    static std::string Endpoint(const std::string& baseUrl)
    {
        return baseUrl + kObject + "?CityGuid=";
    }

    // Nothing of the lookup stays behind but the configuration file.
    void ExpectOnlyConfigFileLeft() const
    {
        EXPECT_EQ(FolderEntries(m_directory.path()), std::set<std::string>{kFileName});
    }

    TemporaryWorkingDirectory m_directory;
    MessageRecorder m_messages;
};

struct AnswerCase {
    const char* name;
    int status;
    const char* contentType;
    std::string answer;
    bool result;
    std::optional<std::string> host;  // nothing: the old file stays
};

// Test names carry the case; gtest need not dump its bytes.
void PrintTo(const AnswerCase& c, std::ostream* out)
{
    *out << c.name;
}

class DirectoryAnswerLookupTest : public SiteLookupTest,
                                  public testing::WithParamInterface<AnswerCase> {};

TEST_P(DirectoryAnswerLookupTest, WritesHostOrLeavesFile)
{
    const AnswerCase& c = GetParam();
    HttpTestServer server;
    server.server().Post(kObject, [&c](const httplib::Request&, httplib::Response& response) {
        response.status = c.status;
        response.set_content(c.answer, c.contentType);
    });
    server.start();

    EXPECT_EQ(LookUpSiteServerAt(Endpoint(server.baseUrl()), u"C01", 10s, PostForm), c.result);

    // The server records a request once its answer is out, even one cut short.
    server.stop();
    EXPECT_EQ(server.requests().size(), 1u);
    EXPECT_TRUE(m_messages.texts().empty());
    ExpectOnlyConfigFileLeft();
    if (c.host) {
        EXPECT_EQ(ReadBytes(kFileName), ProvisionedFile(*c.host));
        EXPECT_EQ(ReadServerSetting(ReadConfigFile(GetConfigFilePath())),
                  std::u16string(c.host->begin(), c.host->end()));
    } else {
        EXPECT_EQ(ReadBytes(kFileName), std::string(kOldFile));
    }
}

const AnswerCase kAnswers[] = {
    {"DomainSrv01", 200, "application/json", R"({"Domain":"srv01"})", true, "srv01"},
    {"Ipv4", 200, "application/json", R"({"Domain":"10.1.2.3"})", true, "10.1.2.3"},
    {"Ipv6", 200, "application/json", R"({"Domain":"[fd00::5]"})", true, "[fd00::5]"},
    // An empty host: the next start asks for the code again.
    {"DomainNull", 200, "application/json", R"({"Domain":null})", true, ""},
    {"DomainNumber", 200, "application/json", R"({"Domain":12})", true, "12"},
    {"StringBrokenOverLines", 200, "text/plain", "{\r\n  \"Domain\": \"srv\r\n01\"\r\n}\r\n", true,
     "srv01"},
    {"HtmlErrorPage", 500, "text/html",
     "<html>\r\n<head><title>500 Internal Server Error</title></head>\r\n"
     "<body>Error</body>\r\n</html>",
     true, std::nullopt},
    // Anything but a usable host is an answer that cannot be read.
    {"NoDomain", 200, "application/json", R"({"Code":"C01"})", false, std::nullopt},
    {"PathTraversal", 200, "application/json", R"({"Domain":"../../../etc/passwd"})", false,
     std::nullopt},
    {"PortPathQuery", 200, "application/json", R"({"Domain":"127.0.0.1:9999/x?y#"})", false,
     std::nullopt},
    {"TenKilobytes", 200, "application/json",
     R"({"Domain":")" + std::string(10 * 1024, 'a') + "\"}", false, std::nullopt},
    {"NonAscii", 200, "application/json", R"({"Domain":"\u670d\u52a1.example"})", false,
     std::nullopt},
    {"LineBreak", 200, "application/json", R"({"Domain":"srv01\r\nPort=81"})", false,
     std::nullopt},
    {"ArrayRoot", 200, "application/json", R"([{"Domain":"srv01"}])", false, std::nullopt},
    {"DomainObject", 200, "application/json", R"({"Domain":{"Host":"srv01"}})", false,
     std::nullopt},
    {"TwoMebibytes", 200, "application/json",
     R"({"Domain":"srv01","Padding":")" + std::string(2 * 1024 * 1024, 'x') + "\"}", false,
     std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Answers, DirectoryAnswerLookupTest, testing::ValuesIn(kAnswers),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SiteLookupTest, HostWithoutOneBytePerCharacterLeavesOldFile)
{
    LocaleScope locale("zh_CN.GBK");
    ASSERT_TRUE(locale.active()) << "the zh_CN.GBK locale is missing";
    HttpTestServer server;
    server.server().Post(kObject, [](const httplib::Request&, httplib::Response& response) {
        response.set_content("{\"Domain\":\"\xB7\xFE.example\"}", "application/json");  // 服
    });
    server.start();

    EXPECT_FALSE(LookUpSiteServerAt(Endpoint(server.baseUrl()), u"C01", 10s, PostForm));

    EXPECT_TRUE(m_messages.texts().empty());
    EXPECT_EQ(ReadBytes(kFileName), std::string(kOldFile));
    ExpectOnlyConfigFileLeft();
}

TEST_F(SiteLookupTest, ServerThatNeverAnswersRunsIntoTimeOut)
{
    MisbehavingServer server(MisbehavingServer::Behaviour::NeverAnswer);
    server.start();

    EXPECT_FALSE(LookUpSiteServerAt(Endpoint(server.baseUrl()), u"C01", 1s, PostForm));

    EXPECT_EQ(server.acceptedConnections(), 1);
    EXPECT_TRUE(m_messages.texts().empty());
    EXPECT_EQ(ReadBytes(kFileName), std::string(kOldFile));
    ExpectOnlyConfigFileLeft();
}

TEST_F(SiteLookupTest, RefusedConnectionShowsNothingAndWritesNothing)
{
    const RefusingPort refusing;
    const std::string endpoint = Endpoint("http://127.0.0.1:" + std::to_string(refusing.port()));

    EXPECT_FALSE(LookUpSiteServerAt(endpoint, u"C01", 10s, PostForm));

    EXPECT_TRUE(m_messages.texts().empty());
    EXPECT_EQ(ReadBytes(kFileName), std::string(kOldFile));
    ExpectOnlyConfigFileLeft();
}

TEST_F(SiteLookupTest, AddressThatDoesNotSplitIsShown)
{
    EXPECT_FALSE(LookUpSiteServerAt("http://127.0.0.1:99999/home/GetCityGuidDomain?CityGuid=",
                                    u"C01", 10s, PostForm));

    EXPECT_EQ(m_messages.texts(),
              std::vector<std::u16string>{
                  u"http://127.0.0.1:99999/home/GetCityGuidDomain?CityGuid=C01"});
    EXPECT_EQ(ReadBytes(kFileName), std::string(kOldFile));
    ExpectOnlyConfigFileLeft();
}

TEST_F(SiteLookupTest, AnswerFileInTheWayFailsAndLeavesConfiguration)
{
    fs::create_directory(kAnswerFileName);
    HttpTestServer server;
    server.server().Post(kObject, [](const httplib::Request&, httplib::Response& response) {
        response.set_content(R"({"Domain":"srv01"})", "application/json");
    });
    server.start();

    EXPECT_FALSE(LookUpSiteServerAt(Endpoint(server.baseUrl()), u"C01", 10s, PostForm));

    EXPECT_EQ(ReadBytes(kFileName), std::string(kOldFile));
    EXPECT_TRUE(fs::is_directory(kAnswerFileName));
}

// What a start finds planted at "key.json" before the lookup.
struct PlantedAnswerCase {
    const char* name;
    std::function<void(const fs::path& outside)> plant;
};

const PlantedAnswerCase kPlantedAnswers[] = {
    {"LinkToAFile", [](const fs::path& outside) { fs::create_symlink(outside, kAnswerFileName); }},
    {"DanglingLink",
     [](const fs::path& outside) {
         fs::remove(outside);
         fs::create_symlink(outside, kAnswerFileName);
     }},
    {"Fifo", [](const fs::path&) { ASSERT_EQ(mkfifo(kAnswerFileName, 0600), 0); }},
};

class PlantedAnswerFileTest : public SiteLookupTest,
                              public testing::WithParamInterface<PlantedAnswerCase> {};

// The answer is written to a new file of its own, never through what was there.
TEST_P(PlantedAnswerFileTest, LookupWritesNothingOutsideAndEndsAsUsual)
{
    TemporaryFolder outsideFolder;
    const fs::path outside = outsideFolder.path() / "bashrc";
    WriteBytes(outside, "export PATH\n");
    GetParam().plant(outside);
    const bool outsideExisted = fs::exists(outside);
    HttpTestServer server;
    server.server().Post(kObject, [](const httplib::Request&, httplib::Response& response) {
        response.set_content(R"({"Domain":"srv01"})", "application/json");
    });
    server.start();

    EXPECT_TRUE(LookUpSiteServerAt(Endpoint(server.baseUrl()), u"C01", 10s, PostForm));

    EXPECT_EQ(ReadBytes(kFileName), ProvisionedFile("srv01"));
    ExpectOnlyConfigFileLeft();
    if (outsideExisted)
        EXPECT_EQ(ReadBytes(outside), "export PATH\n");
    else
        EXPECT_FALSE(fs::exists(outside));
}

INSTANTIATE_TEST_SUITE_P(Plants, PlantedAnswerFileTest, testing::ValuesIn(kPlantedAnswers),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SiteLookupTest, ConfigurationThatCannotBeCreatedStillEndsTheExchange)
{
    fs::remove(kFileName);
    fs::create_directory(kFileName);
    HttpTestServer server;
    server.server().Post(kObject, [](const httplib::Request&, httplib::Response& response) {
        response.set_content(R"({"Domain":"srv01"})", "application/json");
    });
    server.start();

    EXPECT_TRUE(LookUpSiteServerAt(Endpoint(server.baseUrl()), u"C01", 10s, PostForm));

    EXPECT_TRUE(fs::is_directory(kFileName));
    ExpectOnlyConfigFileLeft();
}

struct CodeCase {
    const char* name;
    const char* locale;  // nothing: the test's own
    std::u16string code;
    std::string target;  // the request target as sent
    std::string arrived;  // the decoded code
};

void PrintTo(const CodeCase& c, std::ostream* out)
{
    *out << c.name;
}

class LookupCodeTest : public SiteLookupTest, public testing::WithParamInterface<CodeCase> {};

TEST_P(LookupCodeTest, IsPostedAsTypedWithEmptyBody)
{
    const CodeCase& c = GetParam();
    std::optional<LocaleScope> locale;
    if (c.locale) {
        locale.emplace(c.locale);
        ASSERT_TRUE(locale->active()) << c.locale << " is missing";
    }
    std::mutex arrivedMutex;
    std::optional<std::string> arrived;
    HttpTestServer server;
    server.server().Post(kObject, [&](const httplib::Request& request,
                                      httplib::Response& response) {
        const std::lock_guard<std::mutex> lock(arrivedMutex);
        if (request.has_param("CityGuid"))
            arrived = request.get_param_value("CityGuid");
        response.set_content(R"({"Domain":"srv01"})", "application/json");
    });
    server.start();

    EXPECT_TRUE(LookUpSiteServerAt(Endpoint(server.baseUrl()), c.code, 10s, PostForm));

    server.stop();
    const std::vector<RecordedRequest> requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].target, c.target);
    EXPECT_EQ(requests[0].body, "");
    EXPECT_EQ(requests[0].headers.find("Content-Length")->second, "0");
    const std::lock_guard<std::mutex> lock(arrivedMutex);
    EXPECT_EQ(arrived, c.arrived);
}

const CodeCase kCodes[] = {
    {"Empty", nullptr, u"", "/home/GetCityGuidDomain?CityGuid=", ""},
    {"Plain", nullptr, u"C01", "/home/GetCityGuidDomain?CityGuid=C01", "C01"},
    {"BlanksAround", nullptr, u"  C01 ", "/home/GetCityGuidDomain?CityGuid=%20%20C01%20",
     "  C01 "},
    {"ChineseInGbk", "zh_CN.GBK", u"北京01", "/home/GetCityGuidDomain?CityGuid=%B1%B1%BE%A901",
     "\xB1\xB1\xBE\xA9" "01"},
};

INSTANTIATE_TEST_SUITE_P(Codes, LookupCodeTest, testing::ValuesIn(kCodes),
                         [](const auto& info) { return std::string(info.param.name); });

}

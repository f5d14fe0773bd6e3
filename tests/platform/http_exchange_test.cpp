#include "platform/http_exchange.h"

#include "tests/support/http_test_server.h"
#include "tests/support/misbehaving_server.h"
#include "tests/support/no_proxy.h"
#include "tests/support/refusing_port.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <mutex>
#include <set>

namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;

constexpr char kContentType[] = "application/x-www-form-urlencoded;charset=gb2312";
constexpr char kProgramName[] = "platform_http_exchange_test";

class HttpExchangeTest : public testing::Test {
protected:
    void SetUp() override { ClearProxyEnvironment(); }

    static HttpExchangeResult Post(const std::string& address, std::string body = {},
                                   bool readAnswer = false)
    {
        HttpExchangeRequest request;
        request.address = address;
        request.body = std::move(body);
        request.readAnswer = readAnswer;
        return PostForm(request);
    }
};

std::string HeaderValue(const RecordedRequest& request, const char* name)
{
    const auto found = request.headers.find(name);
    return found == request.headers.end() ? std::string() : found->second;
}

// The header names our request carries, without those cpp-httplib adds itself.
std::multiset<std::string> SentHeaderNames(const httplib::Headers& headers)
{
    std::multiset<std::string> names;
    for (const auto& [name, value] : headers) {
        if (name.rfind("REMOTE_", 0) != 0 && name.rfind("LOCAL_", 0) != 0)
            names.insert(name);
    }
    return names;
}

struct BodyCase {
    const char* name;
    std::string body;
};

class ExactRequestTest : public HttpExchangeTest,
                         public testing::WithParamInterface<BodyCase> {};

TEST_P(ExactRequestTest, SendsMethodTargetHeadersAndBodyBytes)
{
    // Read through a content reader: cpp-httplib refuses a form body over 8 KiB
    // when it parses the form itself.
    std::mutex bodyMutex;
    std::string body;
    HttpTestServer server;
    server.server().Post("/Account/LogOn", [&](const httplib::Request&, httplib::Response& response,
                                               const httplib::ContentReader& reader) {
        reader([&](const char* data, std::size_t length) {
            const std::lock_guard<std::mutex> lock(bodyMutex);
            body.append(data, length);
            return true;
        });
        response.set_content("welcome", "text/html");
    });
    server.start();

    const HttpExchangeResult result = Post(server.baseUrl() + "/Account/LogOn", GetParam().body);

    EXPECT_EQ(result.outcome, HttpExchangeOutcome::Sent);
    EXPECT_EQ(result.status, 200);
    EXPECT_EQ(result.answer, "");
    server.stop();
    const std::vector<RecordedRequest> requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    const RecordedRequest& request = requests.front();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.target, "/Account/LogOn");
    {
        const std::lock_guard<std::mutex> lock(bodyMutex);
        EXPECT_EQ(body, GetParam().body);
    }
    const std::multiset<std::string> expectedNames{"Accept", "Content-Length", "Content-Type",
                                                   "Host", "User-Agent"};
    EXPECT_EQ(SentHeaderNames(request.headers), expectedNames);
    const auto header = [&](const char* name) { return HeaderValue(request, name); };
    EXPECT_EQ(header("Host"), "127.0.0.1:" + std::to_string(server.port()));
    EXPECT_EQ(header("Content-Type"), kContentType);
    EXPECT_EQ(header("Accept"), "*/*");
    EXPECT_EQ(header("User-Agent"), kProgramName);
    EXPECT_EQ(header("Content-Length"), std::to_string(GetParam().body.size()));
}

const BodyCase kBodies[] = {
    {"Empty", ""},
    {"Report", "id=0CC1&pid=92EB&d=&cpu=5D41&MixedMACs=IM001A2B3C4D5E%0AGM000000000000"
               "&WinAccount=a%26b&WinDomain=%C0%EE"},
    {"RawBytesWithNul", std::string("a=\xC0\xEE\0\n&b= ", 10)},
    {"TwoMebibytes", std::string(2 * 1024 * 1024, 'x')},  // where curl would ask to expect 100
};

INSTANTIATE_TEST_SUITE_P(Bodies, ExactRequestTest, testing::ValuesIn(kBodies),
                         [](const auto& info) { return std::string(info.param.name); });

class StatusTest : public HttpExchangeTest, public testing::WithParamInterface<int> {};

TEST_P(StatusTest, AnyStatusCountsAsSent)
{
    HttpTestServer server;
    server.server().Post("/Account/LogOn",
                         [](const httplib::Request&, httplib::Response& response) {
                             response.status = GetParam();
                             response.set_content("page", "text/html");
                         });
    server.start();

    for (const bool readAnswer : {false, true}) {
        const HttpExchangeResult result = Post(server.baseUrl() + "/Account/LogOn", "id=1", readAnswer);
        EXPECT_EQ(result.outcome, HttpExchangeOutcome::Sent);
        EXPECT_EQ(result.status, GetParam());
        EXPECT_EQ(result.answer, readAnswer ? "page" : "");
    }
}

INSTANTIATE_TEST_SUITE_P(Statuses, StatusTest, testing::Values(200, 302, 404, 500));

TEST_F(HttpExchangeTest, ReadsTheWholeAnswerWhenAsked)
{
    const std::string answer = "{\"Domain\":\r\n\"srv01\"}\n";
    HttpTestServer server;
    server.server().Post("/home/GetCityGuidDomain",
                         [&](const httplib::Request&, httplib::Response& response) {
                             response.set_content(answer, "application/json");
                         });
    server.start();

    const HttpExchangeResult result =
        Post(server.baseUrl() + "/home/GetCityGuidDomain?CityGuid=0571", "", true);

    EXPECT_EQ(result.outcome, HttpExchangeOutcome::Sent);
    EXPECT_EQ(result.answer, answer);
}

struct AnswerSizeCase {
    const char* name;
    std::size_t answerBytes;
    bool readAnswer;
    HttpExchangeOutcome outcome;
};

class AnswerSizeTest : public HttpExchangeTest,
                       public testing::WithParamInterface<AnswerSizeCase> {};

TEST_P(AnswerSizeTest, CapsTheAnswer)
{
    constexpr std::size_t kCap = 64 * 1024;
    HttpTestServer server;
    server.server().Post("/home/GetCityGuidDomain",
                         [](const httplib::Request&, httplib::Response& response) {
                             response.set_content(std::string(GetParam().answerBytes, 'a'),
                                                  "text/plain");
                         });
    server.start();
    HttpExchangeRequest request;
    request.address = server.baseUrl() + "/home/GetCityGuidDomain?CityGuid=1";
    request.readAnswer = GetParam().readAnswer;
    request.maxAnswerBytes = kCap;

    const HttpExchangeResult result = PostForm(request);

    EXPECT_EQ(result.outcome, GetParam().outcome);
    const bool answerKept = GetParam().readAnswer && result.outcome == HttpExchangeOutcome::Sent;
    EXPECT_EQ(result.answer.size(), answerKept ? GetParam().answerBytes : 0u);
}

const AnswerSizeCase kAnswerSizes[] = {
    {"AtTheCap", 64 * 1024, true, HttpExchangeOutcome::Sent},
    {"OverTheCap", 64 * 1024 + 1, true, HttpExchangeOutcome::SendFailed},
    {"FarOverTheCap", 8 * 1024 * 1024, true, HttpExchangeOutcome::SendFailed},
    // The report never reads its answer, so its size does not matter.
    {"OverTheCapUnread", 8 * 1024 * 1024, false, HttpExchangeOutcome::Sent},
};

INSTANTIATE_TEST_SUITE_P(Sizes, AnswerSizeTest, testing::ValuesIn(kAnswerSizes),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HttpExchangeTest, RefusedConnectionFailsWithoutWaitingForTheTimeOut)
{
    const RefusingPort refusing;
    const auto started = std::chrono::steady_clock::now();
    const HttpExchangeResult result =
        Post("http://127.0.0.1:" + std::to_string(refusing.port()) + "/Account/LogOn", "id=1");

    EXPECT_EQ(result.outcome, HttpExchangeOutcome::SendFailed);
    EXPECT_LT(std::chrono::steady_clock::now() - started, HttpExchangeRequest{}.connectTimeout);
}

TEST_F(HttpExchangeTest, ServerThatNeverAnswersTimesOut)
{
    MisbehavingServer server(MisbehavingServer::Behaviour::NeverAnswer);
    server.start();
    HttpExchangeRequest request;
    request.address = server.baseUrl() + "/Account/LogOn";
    request.body = "id=1";
    request.exchangeTimeout = 300ms;

    const HttpExchangeResult result = PostForm(request);

    EXPECT_EQ(result.outcome, HttpExchangeOutcome::SendFailed);
    EXPECT_EQ(server.acceptedConnections(), 1);
}

TEST_F(HttpExchangeTest, ResetMidRequestFails)
{
    MisbehavingServer server(MisbehavingServer::Behaviour::ResetMidRequest);
    server.start();

    for (const bool readAnswer : {false, true}) {
        const HttpExchangeResult result =
            Post(server.baseUrl() + "/Account/LogOn", std::string(256 * 1024, 'x'), readAnswer);
        EXPECT_EQ(result.outcome, HttpExchangeOutcome::SendFailed);
    }
    EXPECT_EQ(server.acceptedConnections(), 2);
}

TEST_F(HttpExchangeTest, ReusesTheConnectionToTheSameServer)
{
    HttpTestServer server;
    server.server().set_keep_alive_max_count(5).set_keep_alive_timeout(1);
    server.server().Post("/Account/LogOn", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("welcome", "text/html");
    });
    server.start();

    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(Post(server.baseUrl() + "/Account/LogOn", "id=1").outcome,
                  HttpExchangeOutcome::Sent);

    server.stop();
    const std::vector<RecordedRequest> requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(HeaderValue(requests[0], "REMOTE_PORT"), HeaderValue(requests[1], "REMOTE_PORT"));
}

struct CodeCase {
    const char* name;
    std::string code;
};

class SiteCodeTest : public HttpExchangeTest, public testing::WithParamInterface<CodeCase> {};

// The directory lookup appends the code exactly as typed; the server must read
// back the same bytes.
TEST_P(SiteCodeTest, ServerDecodesTheCodeAsTyped)
{
    HttpTestServer server;
    server.server().Post("/home/GetCityGuidDomain",
                         [](const httplib::Request&, httplib::Response& response) {
                             response.set_content("{}", "application/json");
                         });
    server.start();

    const HttpExchangeResult result =
        Post(server.baseUrl() + "/home/GetCityGuidDomain?CityGuid=" + GetParam().code, "", true);

    EXPECT_EQ(result.outcome, HttpExchangeOutcome::Sent);
    server.stop();
    const std::vector<RecordedRequest> requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    httplib::Params params;
    const std::string& target = requests.front().target;
    httplib::detail::parse_query_text(target.substr(target.find('?') + 1), params);
    ASSERT_EQ(params.count("CityGuid"), 1u);
    EXPECT_EQ(params.find("CityGuid")->second, GetParam().code);
}

const CodeCase kCodes[] = {
    {"Plain", "0571"},
    {"Empty", ""},
    {"BlanksAround", "  0571 "},
    {"GbkWithBlanks", " \xB1\xB1\xBE\xA9 \xCA\xD0 01"},  // " 北京 市 01" in GBK
    {"Utf8", "\xE5\x8C\x97\xE4\xBA\xAC"},
    {"TabAndControl", "a\tb\x01"},
    {"Hash", "01#02"},
    {"Punctuation", "\"<a>\\^`{|}[]'"},
};

INSTANTIATE_TEST_SUITE_P(Codes, SiteCodeTest, testing::ValuesIn(kCodes),
                         [](const auto& info) { return std::string(info.param.name); });

struct SplitCase {
    const char* name;
    std::string address;
    std::optional<std::string> requested;
};

// Test names carry the case; gtest need not dump its bytes.
void PrintTo(const SplitCase& c, std::ostream* out)
{
    *out << c.name;
}

class SplitTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitTest, SplitsIntoHostPortAndObject)
{
    EXPECT_EQ(SplitHttpAddress(GetParam().address), GetParam().requested);
}

const SplitCase kSplits[] = {
    {"HostPortPath", "http://srv01:80/Account/LogOn", "http://srv01:80/Account/LogOn"},
    {"OtherPort", "http://srv01:8080/Account/LogOn", "http://srv01:8080/Account/LogOn"},
    {"NoPort", "http://srv01/home/GetCityGuidDomain?CityGuid=1",
     "http://srv01:80/home/GetCityGuidDomain?CityGuid=1"},
    {"EmptyObject", "http://srv01", "http://srv01:80/"},
    {"EmptyPort", "http://srv01:/x", "http://srv01:80/x"},
    {"UpperCaseScheme", "HTTP://srv01/x", "http://srv01:80/x"},
    {"DotSegmentsKept", "http://srv01/a/../b", "http://srv01:80/a/../b"},
    {"PercentKept", "http://srv01/x?CityGuid=%41+&=", "http://srv01:80/x?CityGuid=%41+&="},
    {"BlankAndGbk", "http://srv01/x?CityGuid= \xB1\xB1", "http://srv01:80/x?CityGuid=%20%B1%B1"},
    {"Hash", "http://srv01/x?CityGuid=a#b", "http://srv01:80/x?CityGuid=a%23b"},
    {"QueryWithoutPath", "http://srv01?CityGuid=1", "http://srv01:80/?CityGuid=1"},
    {"Ipv6", "http://[::1]:8080/x", "http://[::1]:8080/x"},
    {"Ipv6NoPort", "http://[2001:db8::7]/x", "http://[2001:db8::7]:80/x"},
    {"Ipv4", "http://192.168.0.10:8080/x", "http://192.168.0.10:8080/x"},
    {"AtInPathKept", "http://srv01/x?mail=a@b", "http://srv01:80/x?mail=a@b"},
    // A Port or HttpServer entry must not move the request to another host.
    {"Credentials", "http://user:pw@srv01/x", std::nullopt},
    {"PortThenAt", "http://srv01:80@evil.example/Account/LogOn", std::nullopt},
    {"HostThenAt", "http://srv01@evil.example:80/Account/LogOn", std::nullopt},
    {"PercentInHost", "http://%4%41/x", std::nullopt},
    {"EscapedHost", "http://srv%30%31:80/x", std::nullopt},
    {"PercentInPort", "http://srv01:%38%30/x", std::nullopt},
    {"BackslashInHost", "http://evil.example\\srv01:80/x", std::nullopt},
    {"NulInHost", "http://srv01\0evil:80/x"s, std::nullopt},
    {"NulInPort", "http://srv01:80\0/x"s, std::nullopt},
    {"TabInHost", "http://srv01\t:80/x", std::nullopt},
    {"LineFeedInHost", "http://srv01\nHost: evil:80/x", std::nullopt},
    {"BlankInPort", "http://srv01:80 /x", std::nullopt},
    {"PortWithPlus", "http://srv01:+80/x", std::nullopt},
    {"PortWithLetters", "http://srv01:8o/x", std::nullopt},
    {"SecondColon", "http://srv01:80:81/x", std::nullopt},
    {"Ipv6WithZone", "http://[fe80::1%25eth0]:80/x", std::nullopt},
    {"Ipv6Unclosed", "http://[::1:80/x", std::nullopt},
    {"Ipv6NotAnAddress", "http://[srv01]:80/x", std::nullopt},
    {"Ipv6TextAfter", "http://[::1]evil:80/x", std::nullopt},
    // Found by fuzzing: curl took "ttp" for the host.
    {"SchemeWithOneSlash", "http:/ttp://1\xFFp://1\xFFp:/", std::nullopt},
    {"SchemeWithPath", "http:/evil.example/x://srv01:80/", std::nullopt},
    {"PathWithoutSlash", "http://srv01:80Account/LogOn", std::nullopt},
    {"BogusPort", "http://srv01:Bogus Value: Get Port didn't work/Account/LogOn", std::nullopt},
    {"BogusPath", "http://srv01:80Bogus Value: Get Path didn't work", std::nullopt},
    {"BogusHost", "http://Bogus Value: Get webUrl didn't work:80/Account/LogOn", std::nullopt},
    {"AllBogus",
     "http://Bogus Value: Get webUrl didn't work:Bogus Value: Get Port didn't work"
     "Bogus Value: Get Path didn't work",
     std::nullopt},
    {"BlankHost", "http:// :80/Account/LogOn", std::nullopt},
    {"PortTooLarge", "http://srv01:65536/", std::nullopt},
    {"NegativePort", "http://srv01:-80/", std::nullopt},
    {"NoHost", "http:///Account/LogOn", std::nullopt},
    {"Https", "https://srv01/Account/LogOn", std::nullopt},
    {"Ftp", "ftp://srv01/", std::nullopt},
    {"NoScheme", "srv01:80/Account/LogOn", std::nullopt},
    {"Empty", "", std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Addresses, SplitTest, testing::ValuesIn(kSplits),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HttpExchangeTest, UnsplittableAddressSendsNothing)
{
    HttpTestServer server;
    server.start();

    const HttpExchangeResult result =
        Post("http://127.0.0.1:" + std::to_string(server.port()) + "Account/LogOn", "id=1");

    EXPECT_EQ(result.outcome, HttpExchangeOutcome::SplitFailed);
    server.stop();
    EXPECT_TRUE(server.requests().empty());
}

// The name is looked up only inside a network namespace of this test's own,
// where no resolver can be reached.
TEST_F(HttpExchangeTest, HostThatDoesNotResolveFails)
{
    enum ChildExit { kSendFailed = 0, kOtherOutcome = 1, kNoNamespace = 2 };
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (unshare(CLONE_NEWNET) != 0)
            _exit(kNoNamespace);
        HttpExchangeRequest request;
        request.address = "http://vantor-no-such-host.invalid/Account/LogOn";
        request.body = "id=1";
        request.exchangeTimeout = 10s;
        _exit(PostForm(request).outcome == HttpExchangeOutcome::SendFailed ? kSendFailed
                                                                            : kOtherOutcome);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == kNoNamespace)
        GTEST_SKIP() << "cannot create a network namespace";
    EXPECT_EQ(WEXITSTATUS(status), kSendFailed);
}

}  // namespace

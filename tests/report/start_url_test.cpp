#include "report/start_url.h"

#include "launch/build_config.h"
#include "launch/launch_state.h"
#include "platform/code_page.h"
#include "config/config_file.h"
#include "identity/device_identity.h"
#include "identity/identity_sources_linux.h"
#include "tests/support/temporary_folder.h"
#include "tests/support/locale_scope.h"
#include "tests/support/message_recorder.h"
#include "tests/support/http_test_server.h"
#include "tests/support/misbehaving_server.h"
#include "tests/support/no_proxy.h"
#include "tests/support/refusing_port.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <clocale>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Form = std::vector<std::pair<std::string, std::string>>;

constexpr char kProgramName[] = "report_start_url_test";
constexpr char kContentType[] = "application/x-www-form-urlencoded;charset=gb2312";
constexpr char kGuid[] = "{3d1219c7-c4c5-404a-aa1f-6d2a48adfda4}";
constexpr char kMixedMacs[] = "IM001A2B3C4D5E\nGM000000000000";
constexpr char16_t kAdapterFailure[] = u"启动器遇到系统故障[55]：查不到值(网卡) ";

// The facts of one office PC, as the identity sources hand them over.
struct Facts {
    std::string user = "zhang";
    std::optional<std::string> hostName = "office-pc";
    std::string resolverConfig = "nameserver 127.0.0.1\ndomain example.lan\n";
    std::vector<NetworkAdapter> adapters = {
        {2, "eth0", true, "00:1A:2B:3C:4D:5E", kEthernetLinkType}};
    std::vector<Disk> disks = {{"sda", "WD-WCC4E1234567"}};
};

IdentitySources SourcesOf(const Facts& facts)
{
    IdentitySources sources;
    sources.userName = [facts] { return facts.user; };
    sources.hostName = [facts] { return facts.hostName; };
    sources.resolverConfig = [facts] { return facts.resolverConfig; };
    sources.hardwareProfileGuid = [] { return std::string(kGuid); };
    sources.listAdapters = [facts] {
        return AdapterListing{ListingStatus::Listed, facts.adapters};
    };
    sources.listDisks = [facts] { return DiskListing{ListingStatus::Listed, facts.disks}; };
    sources.now = [] { return LocalTime{2017, 9, 15, 9, 5, 3, 42}; };
    sources.creationTime = [](const std::string&) { return LocalTime{2017, 9, 15, 8, 12, 15, 0}; };
    UseSystemCodePageAndFiles(sources);
    return sources;
}

std::string Md5Upper(const std::string& bytes)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_md5(), nullptr);
    std::string hex;
    for (unsigned int i = 0; i < length; ++i) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02X", digest[i]);
        hex += pair;
    }
    return hex;
}

// The fingerprint of the default facts, worked out from them by hand.
std::string ExpectedMachineId()
{
    const std::string source = "office-pc.example.lan" + Md5Upper("M001A2B3C4D5E\n") + kGuid;
    std::string id;
    for (std::size_t start = 0; start < source.size(); start += 32)
        id += Md5Upper(source.substr(start, 32));
    return id + Md5Upper("09/15/17 08:12:15");
}

std::u16string Wide(const std::string& ascii)
{
    return std::u16string(ascii.begin(), ascii.end());
}

template <typename Text>
Text Replace(Text text, const Text& mark, const Text& value)
{
    for (std::size_t at = text.find(mark); at != Text::npos;
         at = text.find(mark, at + value.size()))
        text.replace(at, mark.size(), value);
    return text;
}

// The body split at its '&' and '=' and decoded as a form server decodes it.
Form DecodeForm(const std::string& body)
{
    Form fields;
    std::size_t start = 0;
    while (start <= body.size()) {
        const std::size_t end = std::min(body.find('&', start), body.size());
        const std::string field = body.substr(start, end - start);
        const std::size_t equals = std::min(field.find('='), field.size());
        fields.emplace_back(
            httplib::detail::decode_url(field.substr(0, equals), true),
            httplib::detail::decode_url(field.substr(std::min(equals + 1, field.size())), true));
        start = end + 1;
    }
    return fields;
}

// The report form of the identity gathered by the last call, with the values
// a test names for MixedMACs, WinAccount and WinDomain.
Form ExpectedForm(const std::string& disk, const std::string& mixedMacs, const std::string& account,
                  const std::string& domain)
{
    return {{"id", ToNarrow(DeviceIdentity.MachineId)},
            {"pid", ToNarrow(DeviceIdentity.MacHash)},
            {"d", disk},
            {"cpu", ToNarrow(DeviceIdentity.TimeToken)},
            {"MixedMACs", mixedMacs},
            {"WinAccount", account},
            {"WinDomain", domain}};
}

std::string HeaderValue(const RecordedRequest& request, const char* name)
{
    const auto found = request.headers.find(name);
    return found == request.headers.end() ? std::string() : found->second;
}

std::string IniText(const std::string& host, const std::string& port,
                    const std::string& path = "/Account/LogOn",
                    const std::string& para = "--disable-plugins")
{
    return "[QLXBSINFO]\r\nHttpServer=" + host + "\r\nPort=" + port + "\r\nPath=" + path +
        "\r\nPara=" + para + "\r\nBrowserPath=";
}

// A site server that receives device reports on its login path.
std::unique_ptr<HttpTestServer> StartSiteServer(int status = 200)
{
    auto server = std::make_unique<HttpTestServer>("127.0.0.1", 0);
    server->server().Post("/Account/LogOn",
                          [status](const httplib::Request&, httplib::Response& response) {
                              response.status = status;
                              response.set_content("<title>log on</title>", "text/html");
                          });
    server->start();
    return server;
}

// The report as one start makes it: the configuration file in the current
// directory, read when the report asks for it, and the real exchange.
bool PrepareStartUrl(const IdentitySources& sources)
{
    return PrepareStartUrl(
        sources, [] { return ReadLaunchSettings(ReadConfigFile(GetConfigFilePath())); }, PostForm);
}

// Each test runs as one start of the launcher, in an office folder of its own
// as the current directory.
class PrepareStartUrlTest : public testing::Test {
protected:
    void SetUp() override
    {
        ClearProxyEnvironment();
        m_previousFolder = fs::current_path();
        fs::current_path(m_office.path());
        LaunchState = {};
        DeviceIdentity = {};
    }
    void TearDown() override
    {
        fs::current_path(m_previousFolder);
        LaunchState = {};
        DeviceIdentity = {};
    }

    void WriteIni(const std::string& text) const { m_office.write("QLX32-bs.ini", text); }
    void WriteIni(int port) const { WriteIni(IniText("127.0.0.1", std::to_string(port))); }

    static std::u16string IniPath() { return Wide((fs::current_path() / "QLX32-bs.ini").string()); }
    static bool MachineIdFileExists() { return fs::exists(kMachineIdFileName); }

    static std::u16string StartUrlFor(int port)
    {
        return Wide("http://127.0.0.1:" + std::to_string(port) +
                    "/Account/LogOn?version=1.20140927&id=" + ToNarrow(DeviceIdentity.MachineId) +
                    "&pid=" + ToNarrow(DeviceIdentity.MacHash) +
                    "&cpu=" + ToNarrow(DeviceIdentity.TimeToken));
    }

    // The one report the server received.
    static RecordedRequest OnlyReport(HttpTestServer& server)
    {
        server.stop();
        const std::vector<RecordedRequest> requests = server.requests();
        if (requests.size() != 1)
            throw std::runtime_error("expected one report, got " + std::to_string(requests.size()));
        return requests.front();
    }

    TemporaryFolder m_office;
    fs::path m_previousFolder;
    MessageRecorder m_messages;
};

TEST_F(PrepareStartUrlTest, PostsTheReportAndComposesTheStartUrl)
{
    const auto server = StartSiteServer();
    WriteIni(server->port());

    ASSERT_TRUE(PrepareStartUrl(SourcesOf(Facts{})));

    const std::string id = ExpectedMachineId();
    const std::string pid = Md5Upper("IM001A2B3C4D5E\n");
    const std::string cpu = Md5Upper("9:05:03:0042");
    const std::string disk = Md5Upper("WD-WCC4E1234567");
    const RecordedRequest report = OnlyReport(*server);
    EXPECT_EQ(report.method, "POST");
    EXPECT_EQ(report.target, "/Account/LogOn");
    EXPECT_EQ(HeaderValue(report, "Host"), "127.0.0.1:" + std::to_string(server->port()));
    EXPECT_EQ(HeaderValue(report, "Content-Type"), kContentType);
    EXPECT_EQ(HeaderValue(report, "Accept"), "*/*");
    EXPECT_EQ(HeaderValue(report, "User-Agent"), kProgramName);
    EXPECT_EQ(report.headers.count("Expect"), 0u);
    EXPECT_EQ(report.body,
              "id=" + id + "&pid=" + pid + "&d=" + disk + "&cpu=" + cpu +
                  "&MixedMACs=IM001A2B3C4D5E%0AGM000000000000&WinAccount=zhang"
                  "&WinDomain=office-pc.example.lan");
    EXPECT_EQ(HeaderValue(report, "Content-Length"), std::to_string(report.body.size()));
    EXPECT_EQ(LaunchState.StartUrl,
              Wide("http://127.0.0.1:" + std::to_string(server->port()) +
                   "/Account/LogOn?version=1.20140927&id=" + id + "&pid=" + pid + "&cpu=" + cpu));
    EXPECT_TRUE(m_messages.texts().empty());
}

struct ValueCase {
    const char* name;
    Facts facts;
    std::string disk;
    std::string mixedMacs;
    std::string account;
    std::string domain;
};

void PrintTo(const ValueCase& value, std::ostream* out)
{
    *out << value.name;
}

class ReportValueTest : public PrepareStartUrlTest,
                        public testing::WithParamInterface<ValueCase> {};

// Whatever a value holds, the server's form decoder reads back exactly that
// value under its own name, and no field is added or split.
TEST_P(ReportValueTest, ServerDecodesEachValueAsItStands)
{
    const ValueCase& value = GetParam();
    const auto server = StartSiteServer();
    WriteIni(server->port());

    ASSERT_TRUE(PrepareStartUrl(SourcesOf(value.facts)));

    const RecordedRequest report = OnlyReport(*server);
    EXPECT_EQ(DecodeForm(report.body),
              ExpectedForm(value.disk, value.mixedMacs, value.account, value.domain));
    EXPECT_EQ(LaunchState.StartUrl, StartUrlFor(server->port()));
}

Facts WithUser(std::string user)
{
    Facts facts;
    facts.user = std::move(user);
    return facts;
}

Facts WithoutDisks()
{
    Facts facts;
    facts.disks.clear();
    return facts;
}

Facts WithoutAdapters()
{
    Facts facts;
    facts.adapters.clear();
    return facts;
}

Facts WithHostAndResolver(std::string hostName, std::string resolverConfig)
{
    Facts facts;
    facts.hostName = std::move(hostName);
    facts.resolverConfig = std::move(resolverConfig);
    return facts;
}

const std::string kDisk = Md5Upper("WD-WCC4E1234567");

const ValueCase kValues[] = {
    {"EmptyDiskHash", WithoutDisks(), "", kMixedMacs, "zhang", "office-pc.example.lan"},
    {"NoAcceptedAdapter", WithoutAdapters(), kDisk, "", "zhang", "office-pc.example.lan"},
    {"AccountWithAmpersand", WithUser("OFFICE&Admin"), kDisk, kMixedMacs, "OFFICE&Admin",
     "office-pc.example.lan"},
    {"AccountWithFormSyntax", WithUser("a=b c+d\n&WinDomain=x"), kDisk, kMixedMacs,
     "a=b c+d\n&WinDomain=x", "office-pc.example.lan"},
    {"AccountWithPercentAndPlus", WithUser("50%+25%"), kDisk, kMixedMacs, "50%+25%",
     "office-pc.example.lan"},
    {"HostNameWithLineFeed", WithHostAndResolver("office\npc", "search corp.lan\n"), kDisk,
     kMixedMacs, "zhang", "office\npc.corp.lan"},
};

INSTANTIATE_TEST_SUITE_P(Values, ReportValueTest, testing::ValuesIn(kValues),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PrepareStartUrlTest, EmptyDiskHashLeavesNothingBetweenItsNameAndTheNextField)
{
    const auto server = StartSiteServer();
    WriteIni(server->port());

    ASSERT_TRUE(PrepareStartUrl(SourcesOf(WithoutDisks())));

    EXPECT_NE(OnlyReport(*server).body.find("&d=&cpu="), std::string::npos);
}

TEST_F(PrepareStartUrlTest, ChineseAccountGoesOutAsItsGbkBytes)
{
    const LocaleScope gbk("zh_CN.GBK");
    if (!gbk.active())
        GTEST_SKIP() << "the zh_CN.GBK locale is not installed";
    const std::string account = "\xD5\xC5\xC8\xFD";  // "张三" in GBK
    const auto server = StartSiteServer();
    WriteIni(server->port());

    ASSERT_TRUE(PrepareStartUrl(SourcesOf(WithUser(account))));

    EXPECT_EQ(DeviceIdentity.WinAccount, u"张三");
    const RecordedRequest report = OnlyReport(*server);
    EXPECT_NE(report.body.find("&WinAccount=%D5%C5%C8%FD&WinDomain="), std::string::npos);
    EXPECT_EQ(DecodeForm(report.body),
              ExpectedForm(kDisk, kMixedMacs, account, "office-pc.example.lan"));
}

TEST_F(PrepareStartUrlTest, PortFromTheIniServesReportAndStartUrl)
{
    const auto server = StartSiteServer();
    const std::string port = std::to_string(server->port());
    WriteIni(IniText("127.0.0.1", port));

    ASSERT_TRUE(PrepareStartUrl(SourcesOf(Facts{})));

    EXPECT_EQ(HeaderValue(OnlyReport(*server), "Host"), "127.0.0.1:" + port);
    EXPECT_EQ(LaunchState.StartUrl.rfind(
                  Wide("http://127.0.0.1:" + port + "/Account/LogOn?version=1.20140927&id="), 0),
              0u);
    EXPECT_EQ(LaunchState.StartUrl, StartUrlFor(server->port()));
}

class ErrorStatusTest : public PrepareStartUrlTest, public testing::WithParamInterface<int> {};

TEST_P(ErrorStatusTest, AnyAnswerCountsAsSent)
{
    const auto server = StartSiteServer(GetParam());
    WriteIni(server->port());

    EXPECT_TRUE(PrepareStartUrl(SourcesOf(Facts{})));

    EXPECT_EQ(OnlyReport(*server).method, "POST");
    EXPECT_EQ(LaunchState.StartUrl, StartUrlFor(server->port()));
    EXPECT_TRUE(m_messages.texts().empty());
}

INSTANTIATE_TEST_SUITE_P(Statuses, ErrorStatusTest, testing::Values(404, 500));

// The last adapter query runs for its messages alone: the report keeps the
// text gathered before it.
TEST_F(PrepareStartUrlTest, FailingLastAdapterQueryShowsItsMessageAndChangesNothingSent)
{
    const auto server = StartSiteServer();
    WriteIni(server->port());
    IdentitySources sources = SourcesOf(Facts{});
    int queries = 0;
    sources.listAdapters = [&queries] {
        return ++queries < 3 ? AdapterListing{ListingStatus::Listed, Facts{}.adapters}
                             : AdapterListing{ListingStatus::CannotList, {}};
    };

    EXPECT_TRUE(PrepareStartUrl(sources));

    EXPECT_EQ(queries, 3);
    EXPECT_EQ(m_messages.texts(), std::vector<std::u16string>{kAdapterFailure});
    EXPECT_EQ(DecodeForm(OnlyReport(*server).body),
              ExpectedForm(kDisk, kMixedMacs, "zhang", "office-pc.example.lan"));
    EXPECT_EQ(LaunchState.StartUrl, StartUrlFor(server->port()));
}

enum class Outage { Refused, NeverAnswers, ResetsMidRequest };

struct OutageCase {
    const char* name;
    Outage outage;
};

void PrintTo(const OutageCase& value, std::ostream* out)
{
    *out << value.name;
}

class OutageTest : public PrepareStartUrlTest, public testing::WithParamInterface<OutageCase> {};

TEST_P(OutageTest, FallsBackSilently)
{
    std::unique_ptr<MisbehavingServer> server;
    std::optional<RefusingPort> refusing;
    int port = 0;
    if (GetParam().outage == Outage::Refused) {
        refusing.emplace();
        port = refusing->port();
    } else {
        server = std::make_unique<MisbehavingServer>(
            GetParam().outage == Outage::NeverAnswers
                ? MisbehavingServer::Behaviour::NeverAnswer
                : MisbehavingServer::Behaviour::ResetMidRequest);
        server->start();
        port = server->port();
    }
    WriteIni(port);

    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(PrepareStartUrl(SourcesOf(Facts{})));

    // Within the bound of one whole exchange: the start never hangs.
    EXPECT_LT(std::chrono::steady_clock::now() - started, 60s);
    EXPECT_EQ(LaunchState.StartUrl, Wide(BuildConfig::kFallbackUrl));
    EXPECT_TRUE(m_messages.texts().empty());
    if (server) {
        EXPECT_EQ(server->acceptedConnections(), 1);
    }
}

// A silent server holds the start for the exchange's whole time-out (30 s).
const OutageCase kOutages[] = {
    {"ConnectionRefused", Outage::Refused},
    {"ServerNeverAnswers", Outage::NeverAnswers},
    {"ServerResetsMidRequest", Outage::ResetsMidRequest},
};

INSTANTIATE_TEST_SUITE_P(Outages, OutageTest, testing::ValuesIn(kOutages),
                         [](const auto& info) { return std::string(info.param.name); });

bool BringLoopbackUp()
{
    const int socketFd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (socketFd < 0)
        return false;
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    bool up = ioctl(socketFd, SIOCGIFFLAGS, &request) == 0;
    request.ifr_flags |= IFF_UP;
    up = up && ioctl(socketFd, SIOCSIFFLAGS, &request) == 0;
    close(socketFd);
    return up;
}

// The name is looked up only inside a network namespace of this test's own,
// where only the loopback interface exists.
TEST_F(PrepareStartUrlTest, HostThatDoesNotResolveFallsBackSilently)
{
    WriteIni(IniText("vantor-no-such-host.invalid", "80"));
    int channel[2];
    ASSERT_EQ(pipe(channel), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(channel[0]);
        std::string outcome;
        if (unshare(CLONE_NEWNET) != 0) {
            outcome = "no namespace";
        } else if (!BringLoopbackUp()) {
            outcome = "no loopback";
        } else {
            const bool sent = PrepareStartUrl(SourcesOf(Facts{}));
            outcome = std::string(sent ? "sent" : "not sent") + "\n" +
                std::to_string(m_messages.texts().size()) + "\n" + ToNarrow(LaunchState.StartUrl);
        }
        const bool written = write(channel[1], outcome.data(), outcome.size()) ==
            static_cast<ssize_t>(outcome.size());
        _exit(written ? 0 : 1);
    }
    close(channel[1]);
    std::string outcome;
    char buffer[512];
    for (ssize_t count; (count = read(channel[0], buffer, sizeof buffer)) > 0;)
        outcome.append(buffer, static_cast<std::size_t>(count));
    close(channel[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    if (outcome == "no namespace")
        GTEST_SKIP() << "cannot create a network namespace";
    EXPECT_EQ(outcome, std::string("not sent\n0\n") + BuildConfig::kFallbackUrl);
}

struct StopCase {
    const char* name;
    std::optional<std::string> ini;  // "{port}" stands for the server's port; none: no file
    bool hostNameReadable;
    std::optional<std::u16string> message;  // "{port}" and "{ini}" filled in; none: silence
    bool identityGathered;  // "qlx.ico" written
};

void PrintTo(const StopCase& value, std::ostream* out)
{
    *out << value.name;
}

class StopTest : public PrepareStartUrlTest, public testing::WithParamInterface<StopCase> {};

TEST_P(StopTest, StopsWithItsMessageOrSilently)
{
    const StopCase& stop = GetParam();
    const auto server = StartSiteServer();
    const std::string port = std::to_string(server->port());
    if (stop.ini)
        WriteIni(Replace<std::string>(*stop.ini, "{port}", port));
    Facts facts;
    if (!stop.hostNameReadable)
        facts.hostName.reset();

    EXPECT_FALSE(PrepareStartUrl(SourcesOf(facts)));

    std::vector<std::u16string> expected;
    if (stop.message)
        expected.push_back(Replace<std::u16string>(
            Replace<std::u16string>(*stop.message, u"{port}", Wide(port)), u"{ini}", IniPath()));
    EXPECT_EQ(m_messages.texts(), expected);
    EXPECT_EQ(LaunchState.StartUrl, u"");
    EXPECT_EQ(MachineIdFileExists(), stop.identityGathered);
    server->stop();
    EXPECT_TRUE(server->requests().empty());
}

const std::string kGoodIni = IniText("127.0.0.1", "{port}");

const StopCase kStops[] = {
    {"MissingIni", std::nullopt, true,
     u"http://Bogus Value: Get webUrl didn't work:Bogus Value: Get Port didn't work"
     u"Bogus Value: Get Path didn't work",
     true},
    {"PathWithoutSlash", IniText("127.0.0.1", "{port}", "Account/LogOn"), true,
     u"http://127.0.0.1:{port}Account/LogOn", true},
    {"EmptyPara", IniText("127.0.0.1", "{port}", "/Account/LogOn", ""), true,
     u"找不到INI文件：\n{ini}\n请确认INI文件与启动程序在相同的目录。", false},
    {"EmptyPort", IniText("127.0.0.1", ""), true,
     u"找不到关键字Port：\n{ini}\n请确认INI文件正确设置。", false},
    {"NoHostName", kGoodIni, false, std::nullopt, false},
    {"NoHostNameAndNoIni", std::nullopt, false, std::nullopt, false},
};

INSTANTIATE_TEST_SUITE_P(Stops, StopTest, testing::ValuesIn(kStops),
                         [](const auto& info) { return std::string(info.param.name); });

// The launcher's own call reads this PC's identity.
TEST_F(PrepareStartUrlTest, ReportsThisPcsOwnIdentity)
{
    const auto server = StartSiteServer();
    WriteIni(server->port());

    ASSERT_TRUE(PrepareStartUrl(LinuxIdentitySources()));

    const Form form = DecodeForm(OnlyReport(*server).body);
    std::vector<std::string> names;
    for (const auto& field : form)
        names.push_back(field.first);
    EXPECT_EQ(names,
              (std::vector<std::string>{"id", "pid", "d", "cpu", "MixedMACs", "WinAccount",
                                        "WinDomain"}));
    EXPECT_EQ(form[0].second, ToNarrow(DeviceIdentity.MachineId));
    EXPECT_EQ(LaunchState.StartUrl, StartUrlFor(server->port()));
}

// Start-up applies an outcome before the main window shows only when it
// needs no message box, so the two must agree for every outcome.
class OutcomeMessageTest : public testing::TestWithParam<HttpExchangeOutcome> {
protected:
    void SetUp() override { LaunchState = {}; }

    MessageRecorder m_messages;
};

TEST_P(OutcomeMessageTest, ShowsAMessageExactlyWhenItSaysSo)
{
    ComposedReport report;
    report.siteAddress = u"http://site/Account/LogOn";
    report.startUrl = u"http://site/Account/LogOn?id=1";

    ApplyReportOutcome(report, GetParam());

    EXPECT_EQ(!m_messages.texts().empty(), ReportOutcomeShowsMessage(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Outcomes, OutcomeMessageTest,
                         testing::Values(HttpExchangeOutcome::SplitFailed, HttpExchangeOutcome::NoConnection,
                                         HttpExchangeOutcome::NoRequest, HttpExchangeOutcome::SendFailed,
                                         HttpExchangeOutcome::Sent));

}  // namespace

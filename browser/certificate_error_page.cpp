#include "browser/certificate_error_page.h"

#include "browser/error_page.h"

namespace {

constexpr int kCommonNameInvalid = -200;
constexpr int kDateInvalid = -201;
constexpr int kAuthorityInvalid = -202;
constexpr int kRevoked = -206;

// What is wrong, and whether the site itself must change its certificate.
struct CertificateProblem {
    std::string text;
    bool siteMustReplace;
};

CertificateProblem ProblemOf(int errorCode)
{
    switch (errorCode) {
    case kAuthorityInvalid:
        return {"证书的颁发机构不受本机信任。", false};
    case kDateInvalid:
        return {"证书已过期或尚未生效（也请检查本机的日期和时间是否正确）。", true};
    case kCommonNameInvalid:
        return {"证书上的名称与网站的地址不符。", true};
    case kRevoked:
        return {"证书已被吊销。", true};
    default:
        return {"证书无效（错误代码 " + std::to_string(errorCode) + "）。", true};
    }
}

}

bool IsCertificateError(int errorCode)
{
    return errorCode <= -200 && errorCode > -300;
}

std::string ComposeCertificateErrorPage(const std::string& failedUrl, int errorCode)
{
    const CertificateProblem problem = ProblemOf(errorCode);
    std::string page =
        "<html><head><meta charset=\"utf-8\"><title>无法安全连接</title></head>"
        "<body bgcolor=\"white\"><h2>无法安全连接到此网站</h2>"
        "<p>网址：" + EscapeHtmlText(failedUrl) + "</p>"
        "<p>原因：" + problem.text + "</p>"
        "<p>为保护您的数据，浏览器没有打开此网站。</p>";
    if (problem.siteMustReplace)
        page += "<p>请联系网站管理员更换服务器的证书。</p>";
    page +=
        "<p>如果网站使用的是本机构自己签发的证书，请管理员以本机用户的身份把机构的根证书"
        "（例如 机构根证书.crt）加入浏览器信任的证书库，然后重新启动浏览器：</p>"
        "<pre>certutil -d sql:$HOME/.pki/nssdb -A -t \"C,,\" -n 机构根证书 -i 机构根证书.crt</pre>"
        "<p>certutil 命令由 libnss3-tools 软件包提供。</p>"
        "</body></html>";
    return page;
}

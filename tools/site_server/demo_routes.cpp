#include "tools/site_server/demo_routes.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

namespace {

constexpr size_t kChunk = 16 * 1024;
constexpr size_t kSlowSize = 20 * 1024 * 1024;
constexpr size_t kBrokenSize = 2 * 1024 * 1024;
// "demo:demo"
constexpr char kDemoCredentials[] = "Basic ZGVtbzpkZW1v";

void SendSlowFile(const httplib::Request&, httplib::Response& response)
{
    response.set_header("Content-Disposition",
                        "attachment; filename*=UTF-8''%E6%BC%94%E7%A4%BA%E6%96%87%E4%BB%B6.bin");
    response.set_content_provider(kSlowSize, "application/octet-stream",
                                  [](size_t offset, size_t, httplib::DataSink& sink) {
                                      std::this_thread::sleep_for(std::chrono::milliseconds(15));
                                      const std::string chunk(std::min(kChunk, kSlowSize - offset), 's');
                                      return sink.write(chunk.data(), chunk.size());
                                  });
}

void SendBrokenFile(const httplib::Request&, httplib::Response& response)
{
    response.set_header("Content-Disposition", "attachment; filename=\"broken.bin\"");
    response.set_content_provider(kBrokenSize, "application/octet-stream",
                                  [](size_t offset, size_t, httplib::DataSink& sink) {
                                      if (offset >= kBrokenSize / 2)
                                          return false;
                                      std::this_thread::sleep_for(std::chrono::milliseconds(15));
                                      const std::string chunk(kChunk, 'b');
                                      return sink.write(chunk.data(), chunk.size());
                                  });
}

void ShowSignedInPage(const httplib::Request& request, httplib::Response& response)
{
    if (request.get_header_value("Authorization") == kDemoCredentials) {
        response.set_content("<!DOCTYPE html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\">"
                             "<title>已登录</title></head><body><h1>已登录</h1>"
                             "<p>用户名和密码正确。</p><p><a href=\"/demo/sign-in.html\">返回</a></p>"
                             "</body></html>",
                             "text/html; charset=utf-8");
        return;
    }
    response.status = 401;
    response.set_header("WWW-Authenticate", "Basic realm=\"演示站点\", charset=\"UTF-8\"");
    response.set_content("<!DOCTYPE html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\">"
                         "<title>未登录</title></head><body><h1>401 未登录</h1>"
                         "<p>这是服务器自己的 401 页面。</p>"
                         "<p><a href=\"/demo/sign-in.html\">返回</a></p></body></html>",
                         "text/html; charset=utf-8");
}

}

void InstallDemoRoutes(httplib::Server& server)
{
    server.Get("/demo-files/slow.bin", SendSlowFile);
    server.Get("/demo-files/broken.bin", SendBrokenFile);
    server.Get("/demo-files/sign-in", ShowSignedInPage);
}

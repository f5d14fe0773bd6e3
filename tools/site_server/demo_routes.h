#pragma once

#include <httplib.h>

// Routes behind the demo pages of downloads and sign-in:
//
//   GET /demo-files/slow.bin     20 MB at about a megabyte a second
//   GET /demo-files/broken.bin   announces 2 MB and drops the connection halfway
//   GET /demo-files/sign-in      a page behind HTTP Basic sign-in, realm "演示站点",
//                                user "demo", password "demo"
void InstallDemoRoutes(httplib::Server& server);

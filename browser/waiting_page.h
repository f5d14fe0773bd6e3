#pragma once

#include <QString>

// The main browser's page while the start URL is not yet known: the
// application icon and "正在连接服务器…", nothing from the site. Its title is
// the main window's own caption.
QString WaitingPageHtml();

// The page left when no start URL comes: blank, under the same caption.
QString BlankPageHtml();

#pragma once

#include <string>

// Chromium's certificate failures are the codes from -200 to -299.
bool IsCertificateError(int errorCode);

// The Chinese page that replaces a load refused for its certificate: what is
// wrong and how an administrator makes the agency's own certificate trusted.
// The URL is UTF-8 and shown as text, never as markup.
std::string ComposeCertificateErrorPage(const std::string& failedUrl, int errorCode);

#pragma once

#include <QString>
#include <QUrl>

class BrowserPage;
class PermissionAnswers;

// What a browser reports of its page: the browser client implements it, so
// that a page never needs the client's own header.
class BrowserEvents {
public:
    // Display.
    virtual void OnTitleChange(BrowserPage& browser, const QString& title) = 0;

    // Load.
    virtual void OnLoadError(BrowserPage& browser, int errorCode, const QString& errorText,
                             const QUrl& failedUrl) = 0;

    // Life span. DoClose comes once the page agreed to close; true keeps it.
    virtual void OnAfterCreated(BrowserPage& browser) = 0;
    virtual bool DoClose(BrowserPage& browser) = 0;
    virtual void OnBeforeClose(const BrowserPage& browser) = 0;
    // The user chose to stay on a page that guards its unsaved work.
    virtual void OnCloseCancelled(BrowserPage& browser) = 0;

    // Permissions: the user's answers for this session, shared by every page.
    virtual PermissionAnswers& Permissions() const = 0;

protected:
    ~BrowserEvents() = default;
};

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMetaObject>

#include "identity/md5.h"
#include "platform/message_pump.h"

namespace {

void ProcessQtEvents()
{
    QCoreApplication::processEvents();
}

TEST(Md5MessagePump, EventQueuedBeforeDigestIsHandledDuringIt)
{
    int argc = 1;
    char name[] = "message_pump_test";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    SetMessagePump(ProcessQtEvents);

    bool handled = false;
    QMetaObject::invokeMethod(&application, [&handled] { handled = true; }, Qt::QueuedConnection);
    ASSERT_FALSE(handled);

    CMD5 md5;
    md5.DigestString("abc");
    // No event loop ran outside the digest.
    EXPECT_TRUE(handled);
    SetMessagePump(nullptr);
}

}

// The desktop tests share one QCoreApplication. Started as
// "<program> --hold-channel <name>", the program is instead a primary
// instance in a process of its own: it prints "ready" once it listens and
// "open <path>" (or "activate") for every request, until it is killed.
#include "CInstanceChannel.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace {

int HoldChannel(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    CInstanceChannel::ClaimStatus status = CInstanceChannel::ClaimStatus::Unavailable;
    QString error;
    auto channel = CInstanceChannel::Claim(QString::fromLocal8Bit(argv[2]), &status, &error);
    if (!channel) {
        std::printf("failed %d %s\n", static_cast<int>(status), qPrintable(error));
        return 1;
    }
    channel->SetOpenRequestHandler([](const QStringList& paths) {
        if (paths.isEmpty())
            std::printf("activate\n");
        for (const QString& path : paths)
            std::printf("open %s\n", qPrintable(path));
        std::fflush(stdout);
    });
    std::printf("ready\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--hold-channel") == 0)
        return HoldChannel(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}

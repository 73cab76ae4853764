#include "MessageSeam.h"

#include <cstdio>

namespace {

TMessageHandler &Handler()
{
    static TMessageHandler handler;
    return handler;
}

} // namespace

TMessageHandler SetMessageHandler(TMessageHandler handler)
{
    TMessageHandler previous = std::move(Handler());
    Handler() = std::move(handler);
    return previous;
}

void ShowMessage(TMessageKind kind, const QString &text)
{
    if (const auto &handler = Handler()) {
        handler(kind, text);
        return;
    }
    const char *caption = kind == TMessageKind::Error ? "Error" : "Warning";
    std::fprintf(stderr, "%s: %s\n", caption, qUtf8Printable(text));
}

QString JoinMessageLines(const QString &first, const QString &second)
{
    return first + QStringLiteral("\r\n") + second;
}

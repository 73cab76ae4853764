// The seam through which the logic shows the user a message box. The program
// installs a handler that shows the toolkit's modal box (error icon and
// caption "Error", or warning icon and caption "Warning", one OK button);
// tests install one that records the texts. Without a handler the text goes
// to standard error.
#pragma once

#include <QString>

#include <functional>

enum class TMessageKind { Error, Warning };

using TMessageHandler = std::function<void(TMessageKind kind, const QString &text)>;

// Installs handler and returns the one it replaces.
TMessageHandler SetMessageHandler(TMessageHandler handler);

// Shows text and returns after the user has closed the box.
void ShowMessage(TMessageKind kind, const QString &text);

// Two-line message texts are joined by CR LF.
QString JoinMessageLines(const QString &first, const QString &second);

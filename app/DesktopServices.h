#pragma once

#include <QString>
#include <QUrl>
#include <filesystem>
#include <vector>

class QMimeData;

namespace quorlix {

// The desktop actions the model asks for. Tests install their own to record the calls.
class DesktopServices {
public:
    virtual ~DesktopServices();

    // The default browser or handler; returns whether the desktop accepted the URL.
    virtual bool openUrl(const QUrl& url);
    // Shows the file selected in the file manager (org.freedesktop.FileManager1.ShowItems),
    // falling back to opening the folder that holds it.
    virtual bool revealFile(const std::filesystem::path& file);
    // The same for several files, selected together where the file manager can.
    virtual bool revealFiles(const std::vector<std::filesystem::path>& files);
    // Replaces the clipboard's contents with plain text.
    virtual void setClipboardText(const QString& text);
    // Replaces the clipboard's contents with `data` (taken over); whether the clipboard holds it.
    virtual bool setClipboardData(QMimeData* data);
};

} // namespace quorlix

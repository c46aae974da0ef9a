#pragma once
// Stands in for the desktop's URL opener (QDesktopServices::setUrlHandler):
// records what the program asks to open instead of starting anything.

#include <QObject>
#include <QUrl>

#include <vector>

class UrlRecorder : public QObject {
    Q_OBJECT
public:
    std::vector<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls.push_back(url); }
};

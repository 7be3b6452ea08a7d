#pragma once

#include <QByteArray>

#include <memory>

class QTemporaryFile;

namespace Starwick::Test {

/// Sends the process's standard error stream into a temporary file while the object lives;
/// text() gives what was written so far.
class StderrCapture
{
public:
    StderrCapture();
    ~StderrCapture();
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    QByteArray text();

private:
    std::unique_ptr<QTemporaryFile> m_file;
    int m_savedFd = -1;
};

} // namespace Starwick::Test

#include "support/stderrcapture.h"

#include <QFile>
#include <QTemporaryFile>

#include <cstdio>
#include <unistd.h>

namespace Starwick::Test {

StderrCapture::StderrCapture()
    : m_file(std::make_unique<QTemporaryFile>())
{
    if (!m_file->open())
        return;
    std::fflush(stderr);
    m_savedFd = ::dup(STDERR_FILENO);
    ::dup2(m_file->handle(), STDERR_FILENO);
}

StderrCapture::~StderrCapture()
{
    if (m_savedFd < 0)
        return;
    std::fflush(stderr);
    ::dup2(m_savedFd, STDERR_FILENO);
    ::close(m_savedFd);
}

QByteArray StderrCapture::text()
{
    std::fflush(stderr);
    QFile file(m_file->fileName());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace Starwick::Test

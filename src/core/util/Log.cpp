#include "Log.h"

#include <cstdio>

namespace snapwick {

namespace {

void writeToStandardError(const QString& line)
{
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
}

LogSink& currentSink()
{
    static LogSink sink = writeToStandardError;
    return sink;
}

} // namespace

void logLine(const QString& line)
{
    currentSink()(line);
}

LogSink setLogSink(LogSink sink)
{
    LogSink previous = std::move(currentSink());
    currentSink() = sink ? std::move(sink) : LogSink(writeToStandardError);
    return previous;
}

} // namespace snapwick

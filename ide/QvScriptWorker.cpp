#include "QvScriptWorker.h"

#include <exception>

#include "Errors/QvException.h"
#include "Media/QvMediaLayer.h"
#include "Session/QvParserApi.h"

namespace {
const char* const kBugReport = "Unknown Error, please submit a bug report (with sample code).\n";

std::string explanation(long code) {
    switch (code) {
    case -9405:
        return "The video source is not available.\n"
               "   Please check your camera installation,\n"
               "   or choose another camera in the preferences dialog.\n";
    case -9404: return "Insufficient disk space is available to record.\n";
    case -9403: return "Insufficient memory is available to record.\n";
    case -108: return "Out of memory\n";
    case -47: return "File is busy.\n";
    case -45: return "File is locked.\n";
    case -36:
    case -35: return "I/O Error\n";
    case -34: return "Disk is full\n";
    default: return std::string("Please send bug report to ") + QV_SUPPORT_ADDRESS + "\n";
    }
}

void endRun(QvParser* session, const std::string& report) {
    session->writeToConsole(report);
    session->setInterruptedFlag(true);
    session->setDoneFlag(true);
}
}  // namespace

std::string QvScriptWorker::systemErrorReport(long code) {
    return "Caught System Error (" + std::to_string(code) + ")\n   " + explanation(code);
}

void QvScriptWorker::start(QvParser* session) {
    join();
    thread_ = std::thread([session] { run(session, QvParserExecute); });
}

void QvScriptWorker::join() {
    if (thread_.joinable()) thread_.join();
}

void QvScriptWorker::run(QvParser* session, const Execution& execute) {
    QvMediaLayer& media = QvTheMediaLayer();
    const long status = media.start();
    try {
        if (status != 0) throw status;
        execute(session);
    } catch (long code) {
        endRun(session, systemErrorReport(code));
    } catch (int code) {
        endRun(session, systemErrorReport(code));
    } catch (QvException* error) {
        endRun(session, error->message() + "\n");
        delete error;
    } catch (const std::exception& error) {
        endRun(session, std::string(error.what()) + "\n" + kBugReport);
    } catch (...) {
        endRun(session, kBugReport);
    }
    if (status == 0) media.stop();
}

#include "tools/cli/Fleet.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <system_error>
#include <thread>

#include "core/Dialogs.h"
#include "device/ScannerInterface.h"
#include "transfers/ConnectionParams.h"
#include "transfers/DeviceSearch.h"
#include "transfers/DeviceTransfers.h"
#include "transfers/ExceptionReport.h"

namespace tavrik {
namespace {

// The Dialogs of one port's thread: answers Yes, keeps every message and the
// text of the last failure.
class PortDialogs final : public Dialogs {
 public:
  explicit PortDialogs(std::vector<std::string>* messages) : messages_(messages) {}

  Answer Show(const MessageBox& box) override {
    if (messages_) messages_->push_back(box.caption.empty() ? box.text : box.caption + ": " + box.text);
    if (box.icon == Icon::error) last_error_ = box.text;
    return box.buttons == Buttons::yes_no ? Answer::yes : Answer::ok;
  }
  std::optional<std::string> OpenFileName(const FileDialog&) override { return std::nullopt; }
  std::optional<std::string> SaveFileName(const FileDialog&) override { return std::nullopt; }

  const std::string& last_error() const { return last_error_; }

 private:
  std::vector<std::string>* messages_;
  std::string last_error_;
};

// Serves one report, so that nothing a port's run throws ends the others.
void ServeOne(PortReport& report, const std::function<void(PortReport&)>& serve) {
  try {
    serve(report);
  } catch (...) {
    report.ok = false;
    report.error = CurrentExceptionText();
  }
}

}  // namespace

void ForEachPort(std::vector<PortReport>& reports, const std::function<void(PortReport&)>& serve,
                 std::size_t max_threads) {
  // Workers take the next report until none is left; the calling thread is one
  // of them, so every port is served even when no thread can be started (a
  // task limit, a container's pid limit) and a hub of many ports needs no more
  // than the pool's threads.
  std::atomic<std::size_t> next{0};
  const auto work = [&] {
    for (std::size_t i; (i = next.fetch_add(1)) < reports.size();) ServeOne(reports[i], serve);
  };
  const std::size_t pool = std::min(reports.size(), std::max<std::size_t>(max_threads, 1));
  std::vector<std::thread> helpers;
  helpers.reserve(pool);
  for (std::size_t i = 1; i < pool; ++i) {
    try {
      helpers.emplace_back(work);
    } catch (const std::system_error&) {
      break;  // the threads there are serve the rest
    }
  }
  work();
  for (std::thread& t : helpers) t.join();
}

namespace {

std::vector<PortReport> ReportsFor(const std::vector<std::string>& ports) {
  std::vector<PortReport> reports(ports.size());
  for (std::size_t i = 0; i < ports.size(); ++i) reports[i].port = ports[i];
  return reports;
}

// One probe on the calling thread; the failure's text when no scanner answers.
bool Probe(PortReport& report, std::uint32_t speed, std::uint32_t timeout) {
  PortDialogs dialogs(nullptr);
  ThreadDialogsScope scope(dialogs);
  DeviceInfo info;
  if (ProbeDevice(report.port, speed, timeout, &info)) {
    report.device = CheckText(true, info);
    report.model = info.model;
    report.firmware = info.firmware_version;
    return true;
  }
  report.error = dialogs.last_error().empty() ? kNotFoundText : dialogs.last_error();
  return false;
}

}  // namespace

std::vector<PortReport> SaveToPorts(const Settings& settings, const std::vector<std::string>& ports,
                                    std::uint32_t speed, std::uint32_t timeout) {
  std::vector<PortReport> reports = ReportsFor(ports);
  ForEachPort(reports, [&](PortReport& report) {
    if (!Probe(report, speed, timeout)) return;
    PortDialogs dialogs(&report.messages);
    ThreadDialogsScope scope(dialogs);
    Settings own = settings;
    ConnectionParamsT params;
    params.port = report.port;
    params.speed = speed;
    params.timeout = timeout;
    switch (SaveToDevice(own, params)) {
      case SaveResult::saved: report.ok = true; break;
      case SaveResult::declined: report.error = "отменено"; break;
      case SaveResult::failed: report.error = dialogs.last_error().empty() ? "ошибка" : dialogs.last_error(); break;
    }
  });
  return reports;
}

std::vector<PortReport> ProbePorts(const std::vector<std::string>& ports, std::uint32_t speed, std::uint32_t timeout) {
  std::vector<PortReport> reports = ReportsFor(ports);
  ForEachPort(reports, [&](PortReport& report) { report.ok = Probe(report, speed, timeout); });
  return reports;
}

std::vector<PortReport> SearchPorts(const std::vector<std::string>& ports) {
  std::vector<PortReport> reports = ReportsFor(ports);
  ForEachPort(reports, [](PortReport& report) {
    PortDialogs dialogs(nullptr);
    ThreadDialogsScope scope(dialogs);
    const SearchOutcome outcome = SearchPort(report.port);
    report.ok = outcome.found;
    if (outcome.found) {
      report.device = CheckText(true, outcome.info);
      report.speed = outcome.speed;
    } else {
      report.error = dialogs.last_error().empty() ? kNotFoundText : dialogs.last_error();
    }
  });
  return reports;
}

}  // namespace tavrik

#include "tools/cli/Fleet.h"

#include <functional>
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

// Runs `serve` for every report on a thread of its own and waits for all.
void ForEachPort(std::vector<PortReport>& reports, const std::function<void(PortReport&)>& serve) {
  std::vector<std::thread> threads;
  threads.reserve(reports.size());
  for (PortReport& report : reports) {
    threads.emplace_back([&serve, &report] {
      try {
        serve(report);
      } catch (...) {
        report.ok = false;
        report.error = CurrentExceptionText();
      }
    });
  }
  for (std::thread& t : threads) t.join();
}

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

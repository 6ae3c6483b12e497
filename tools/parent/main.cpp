// twig-parent: the parent's console for the local service.
#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "BuildConfig.h"
#include "api/Utils.h"
#include "app/CommandLine.h"
#include "messaging/Protocol.h"
#include "tools/parent/AdminClient.h"

namespace {

using twig::Json;
namespace protocol = twig::protocol;
using twig::parent::AdminClient;

constexpr int kOk = 0;
constexpr int kFailed = 1;

std::int64_t sequenceOf(const Json& message) {
  return message.is_object() && message.contains("seq") ? twig::Utils::integerValue(message["seq"]) : 0;
}

void print(const Json& value) {
  std::printf("%s\n", value.dump(2, ' ', false, Json::error_handler_t::replace).c_str());
}

int serviceFailure(const AdminClient::Reply& reply) {
  if (reply.status == 0 && reply.failure == "SSLServerVerification") {
    std::fprintf(
        stderr,
        "twig-parent: the service's certificate is not trusted (see --ca-file) or not for this host\n");
  } else if (reply.status == 0) {
    std::fprintf(stderr,
                 "twig-parent: the service does not answer (%s; is twig-service running? see --service)\n",
                 reply.failure.c_str());
  } else {
    std::fprintf(stderr, "twig-parent: the service refused (%d): %s\n", reply.status,
                 reply.body.dump().c_str());
  }
  return kFailed;
}

// Sends a command and waits for the message that answers it (matched by its commandUuid).
int sendAndWait(AdminClient& admin, const std::string& device, const std::string& command, const Json& body,
                int timeoutSeconds, Json* answer = nullptr) {
  const auto sent =
      admin.post("/admin/devices/" + device + "/commands", Json{{"command", command}, {"body", body}});
  if (!sent.ok()) return serviceFailure(sent);
  const std::string uuid = twig::Utils::stringValue(sent.body, protocol::kKeyCommandUuid);
  std::int64_t after = sequenceOf(sent.body);
  const bool answered =
      command.rfind(protocol::kRequestPrefix, 0) == 0 && command != protocol::kRequestCheckApp;
  auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  bool reported = false;
  while (std::chrono::steady_clock::now() < giveUp) {
    const int left = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(giveUp - std::chrono::steady_clock::now())
            .count());
    const auto batch = admin.messages(device, after, std::min(left, 5000));
    if (!batch.ok()) return serviceFailure(batch);
    for (const auto& message : batch.body["messages"]) {
      after = std::max(after, sequenceOf(message));
      const Json& payload = message["payload"];
      if (!payload.is_object() || payload.empty()) continue;
      const std::string name = payload.begin().key();
      if (answered && name.rfind(protocol::kResponsePrefix, 0) == 0 &&
          twig::Utils::stringValue(payload.begin().value(), protocol::kKeyCommandUuid) == uuid) {
        if (answer != nullptr) {
          *answer = payload;
        } else {
          print(payload);
        }
        // The device's own trouble (a database it cannot read or write): the command did not happen.
        if (twig::Utils::stringValue(payload.begin().value(), "status") == protocol::kStatusFailed) {
          std::fprintf(stderr, "twig-parent: the device could not carry out %s\n", command.c_str());
          return kFailed;
        }
        return kOk;
      }
      if (!answered && (name == protocol::kEventAppInstall || name == protocol::kEventAppUninstall)) {
        print(payload);
        // The events of one check come together: a short while longer for the rest of them.
        if (!reported) giveUp = std::min(giveUp, std::chrono::steady_clock::now() + std::chrono::seconds(2));
        reported = true;
      }
    }
  }
  if (!answered) {
    if (!reported)
      std::printf("%s sent; no installation or removal reported within %d s\n", command.c_str(),
                  timeoutSeconds);
    return kOk;
  }
  std::fprintf(stderr, "twig-parent: no answer to %s (commandUuid %s) within %d s\n", command.c_str(),
               uuid.c_str(), timeoutSeconds);
  return kFailed;
}

std::vector<std::string> splitList(const std::string& text) {
  std::vector<std::string> items;
  std::stringstream stream(text);
  for (std::string item; std::getline(stream, item, ',');) {
    if (!item.empty()) items.push_back(item);
  }
  return items;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app("twig-parent: the parent's console for the local twig-service.");
  app.set_version_flag("--version", std::string("twig-parent ") + twig::build::kVersion);
  app.require_subcommand(1);
  std::string service = "127.0.0.1:8080";
  if (const char* env = std::getenv("TWIG_SERVICE_HOST"); env != nullptr && *env != '\0') service = env;
  int timeout = 20;
  app.add_option("--service", service, "[https://]HOST:PORT of twig-service (env TWIG_SERVICE_HOST)")
      ->capture_default_str();
  std::string caFile;
  if (const char* env = std::getenv("TWIG_CA_FILE"); env != nullptr) caFile = env;
  app.add_option("--ca-file", caFile,
                 "PEM file of the authorities trusted instead of the system's for an https service (env "
                 "TWIG_CA_FILE)");
  app.add_option("--timeout", timeout, "seconds to wait for an answer")
      ->check(CLI::PositiveNumber)
      ->capture_default_str();

  std::string device;
  std::string parentDN;
  auto* bindCode = app.add_subcommand("bind-code", "print a fresh binding code for the device to enter");
  bindCode->add_option("--parent", parentDN, "the parent's number (default: the first parent)");
  auto* devices = app.add_subcommand("devices", "list the devices the service knows");

  auto* send = app.add_subcommand("send", "send a command to a device and print its answer");
  std::string command;
  std::vector<std::string> fields;
  std::string fieldsJson;
  send->add_option("DEVICE", device, "device id")->required();
  send->add_option("COMMAND", command, "command name")
      ->required()
      ->check(CLI::IsMember(std::vector<std::string>{
          protocol::kRequestChildInfo, protocol::kRequestLocation, protocol::kRequestApps,
          protocol::kRequestCheckApp, protocol::kRequestAppControlGroupChange,
          protocol::kRequestAppsOnekeyControl, protocol::kEventIconUpload}));
  send->add_option("--field", fields, "a body field KEY=VALUE (text)");
  send->add_option("--json", fieldsJson, "the body fields as a JSON object");

  auto* group = app.add_subcommand("group", "change a control group's window and applications");
  std::string groupName;
  std::string start = "06:00";
  std::string end = "23:00";
  std::string week = "0,1,2,3,4,5,6";
  std::string apps;
  group->add_option("DEVICE", device, "device id")->required();
  group->add_option("GROUP", groupName, "group name (社交, 游戏, ...) or id")->required();
  group->add_option("--start", start, "window start HH:mm")->capture_default_str();
  group->add_option("--end", end, "window end HH:mm")->capture_default_str();
  group->add_option("--week", week, "days 0 (Sunday) to 6, joined by ','")->capture_default_str();
  group->add_option("--apps", apps, "the group's applications (bundle ids, joined by ',')");

  auto* bills = app.add_subcommand("bills", "list a device's bills");
  bills->add_option("DEVICE", device, "device id")->required();
  std::string bill;
  std::string text;
  auto* approve = app.add_subcommand("approve", "approve a bill");
  approve->add_option("BILL", bill, "bill id")->required();
  std::optional<std::int64_t> points;
  approve
      ->add_option("--points", points,
                   "the points the bill is worth (a special reward's are the parent's choice)")
      ->check(CLI::NonNegativeNumber);
  auto* refuse = app.add_subcommand("refuse", "refuse a bill");
  refuse->add_option("BILL", bill, "bill id")->required();
  auto* comment = app.add_subcommand("comment", "comment on a bill");
  comment->add_option("BILL", bill, "bill id")->required();
  comment->add_option("TEXT", text, "the comment")->required();
  auto* watch = app.add_subcommand("watch", "print every message from a device as it arrives (Ctrl-C ends)");
  watch->add_option("DEVICE", device, "device id")->required();
  std::string type;
  auto* notify = app.add_subcommand("notify", "send a notice (for example 'bills') to a device");
  notify->add_option("DEVICE", device, "device id")->required();
  notify->add_option("TYPE", type, "notice type")->required();
  std::optional<int> unitsMost;
  std::optional<std::string> parities;
  auto* rule = app.add_subcommand("rule", "show or change the exchange of points for play time");
  rule->add_option("--max", unitsMost, "the most units one application may ask for")
      ->check(CLI::Range(0, 999));
  rule->add_option("--parities", parities, "the rate M:P, M minutes (1 to 9) for P points");
  auto* housework = app.add_subcommand("housework", "add a housework task the child can claim");
  std::string taskName;
  std::int64_t taskPoints = 0;
  std::string taskDescription;
  housework->add_option("NAME", taskName, "the task, as the child reads it")->required();
  housework->add_option("--points", taskPoints, "what it is worth")
      ->required()
      ->check(CLI::NonNegativeNumber);
  housework->add_option("--description", taskDescription, "a line about it");
  auto* unbind = app.add_subcommand("unbind", "unbind a device");
  unbind->add_option("DEVICE", device, "device id")->required();

  if (const auto exitCode = twig::CommandLine::parse(app, argc, argv, "twig-parent")) return *exitCode;

  AdminClient admin(service, caFile);
  auto simple = [&](const AdminClient::Reply& reply) {
    if (!reply.ok()) return serviceFailure(reply);
    print(reply.body);
    return kOk;
  };

  if (bindCode->parsed()) {
    const auto reply =
        admin.post("/admin/bind-codes", parentDN.empty() ? Json::object() : Json{{"parentDN", parentDN}});
    if (!reply.ok()) return serviceFailure(reply);
    std::printf("%s\n", twig::Utils::stringValue(reply.body, "code").c_str());
    return kOk;
  }
  if (devices->parsed()) return simple(admin.get("/admin/devices"));
  if (send->parsed()) {
    Json body = fieldsJson.empty() ? Json::object() : Json::parse(fieldsJson, nullptr, false);
    if (!body.is_object()) {
      std::fprintf(stderr, "twig-parent: --json must be a JSON object\n");
      return 2;
    }
    for (const auto& field : fields) {
      const auto equals = field.find('=');
      if (equals == std::string::npos) {
        std::fprintf(stderr, "twig-parent: --field takes KEY=VALUE, not '%s'\n", field.c_str());
        return 2;
      }
      body[field.substr(0, equals)] = field.substr(equals + 1);
    }
    return sendAndWait(admin, device, command, body, timeout);
  }
  if (group->parsed()) {
    Json listing;
    if (sendAndWait(admin, device, protocol::kRequestApps, Json::object(), timeout, &listing) != kOk)
      return kFailed;
    std::string groupId;
    const Json groups = listing[protocol::kResponseApps].value("appControlGroups", Json::array());
    for (const auto& entry : groups) {
      if (twig::Utils::stringValue(entry, "groupName") == groupName ||
          twig::Utils::stringValue(entry, "groupId") == groupName) {
        groupId = twig::Utils::stringValue(entry, "groupId");
      }
    }
    if (groupId.empty()) {
      std::fprintf(stderr, "twig-parent: the device has no control group '%s'\n", groupName.c_str());
      return kFailed;
    }
    Json appList = Json::array();
    for (const auto& package : splitList(apps)) appList.push_back(Json{{"appPackage", package}});
    return sendAndWait(
        admin, device, protocol::kRequestAppControlGroupChange,
        Json{{"groupId", groupId}, {"startTime", start}, {"endTime", end}, {"week", week}, {"apps", appList}},
        timeout);
  }
  if (bills->parsed()) return simple(admin.get("/admin/devices/" + device + "/bills"));
  if (approve->parsed())
    return simple(admin.post("/admin/bills/" + bill + "/approve",
                             points ? Json{{"bonuspoint", *points}} : Json::object()));
  if (housework->parsed())
    return simple(
        admin.post("/admin/subjects",
                   Json{{"name", taskName}, {"bonuspoint", taskPoints}, {"description", taskDescription}}));
  if (refuse->parsed()) return simple(admin.post("/admin/bills/" + bill + "/refuse"));
  if (comment->parsed())
    return simple(admin.post("/admin/bills/" + bill + "/comments", Json{{"comment", text}}));
  if (notify->parsed())
    return simple(admin.post("/admin/devices/" + device + "/notify", Json{{"type", type}}));
  if (unbind->parsed()) return simple(admin.post("/admin/devices/" + device + "/unbind"));
  if (rule->parsed()) {
    Json change = Json::object();
    if (unitsMost) change["appUseIntervalMax"] = std::to_string(*unitsMost);
    if (parities) {
      const std::string& rate = *parities;
      const bool readable = rate.size() >= 3 && rate[0] >= '1' && rate[0] <= '9' &&
                            rate.find_first_not_of("0123456789", 2) == std::string::npos;
      if (!readable) {
        std::fprintf(stderr, "twig-parent: --parities takes M:P, M minutes (1 to 9) for P points, not '%s'\n",
                     rate.c_str());
        return 2;
      }
      change["parities"] = rate;
    }
    return simple(admin.post("/admin/settings", change));
  }
  if (watch->parsed()) {
    // Only what arrives from now on.
    std::int64_t after = 0;
    const auto past = admin.messages(device, 0, 0);
    if (!past.ok()) return serviceFailure(past);
    for (const auto& message : past.body["messages"]) after = std::max(after, sequenceOf(message));
    for (;;) {
      // Ends when the service goes away rather than asking it again and again.
      const auto batch = admin.messages(device, after, 30000);
      if (!batch.ok()) return serviceFailure(batch);
      for (const auto& message : batch.body["messages"]) {
        after = std::max(after, sequenceOf(message));
        std::printf("%s\n", message["payload"].dump(-1, ' ', false, Json::error_handler_t::replace).c_str());
        std::fflush(stdout);
      }
    }
  }
  return 2;
}

// twig-service: a local stand-in for the cloud service, for development, demos and tests.
#include <httplib.h>
#include <signal.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <thread>

#include "BuildConfig.h"
#include "app/CommandLine.h"
#include "platform/SystemClock.h"
#include "tools/service/AdminApi.h"
#include "tools/service/DeviceApi.h"
#include "tools/service/ParentLink.h"
#include "tools/service/ServiceDatabase.h"

int main(int argc, char** argv) {
  CLI::App app(
      "twig-service: a local stand-in for the cloud service of the child agent.\n"
      "Serves the device's HTTP API (https with --tls-cert and --tls-key) under /api/v2.0/, the parent's "
      "console under /admin/ (this machine "
      "only),\n"
      "and speaks for the parents on the MQTT broker.");
  app.set_version_flag("--version", std::string("twig-service ") + twig::build::kVersion);
  std::string listen = "127.0.0.1";
  int port = 8080;
  std::string database = "twig-service.sqlite";
  std::string files;
  std::string mqttHost = "127.0.0.1";
  int mqttPort = 1883;
  app.add_option("--listen", listen, "address to listen on")->capture_default_str();
  app.add_option("--port", port, "HTTP port (0: any free port, printed on start)")
      ->check(CLI::Range(0, 65535))
      ->capture_default_str();
  app.add_option("--db", database, "SQLite file holding the service's state")->capture_default_str();
  app.add_option("--files", files, "folder for uploaded pictures (default: beside the database)");
  std::size_t maxUploadKb = twig::service::DeviceApi::kDefaultMaxUploadBytes / 1024;
  app.add_option("--max-upload-kb", maxUploadKb, "largest picture accepted, in KiB")
      ->check(CLI::PositiveNumber)
      ->capture_default_str();
  std::string tlsCertificate;
  std::string tlsKey;
  auto* certificateOption =
      app.add_option("--tls-cert", tlsCertificate, "certificate (PEM) to serve https with, instead of http")
          ->check(CLI::ExistingFile);
  app.add_option("--tls-key", tlsKey, "the certificate's private key (PEM)")
      ->check(CLI::ExistingFile)
      ->needs(certificateOption);
  certificateOption->needs("--tls-key");
  app.add_option("--mqtt-host", mqttHost, "broker host")->capture_default_str();
  app.add_option("--mqtt-port", mqttPort, "broker port")->check(CLI::Range(1, 65535))->capture_default_str();
  if (const auto exitCode = twig::CommandLine::parse(app, argc, argv, "twig-service")) return *exitCode;

  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  auto store = twig::service::ServiceDatabase::open(database);
  if (!store) {
    std::fprintf(stderr, "twig-service: cannot open the database %s\n", database.c_str());
    return 1;
  }
  const std::filesystem::path filesFolder =
      files.empty() ? std::filesystem::absolute(database).parent_path() / "twig-service-files"
                    : std::filesystem::path(files);
  twig::SystemClock clock;
  twig::service::ParentLink parents(*store, clock, mqttHost, static_cast<std::uint16_t>(mqttPort));
  std::unique_ptr<httplib::Server> secure;
  if (!tlsCertificate.empty()) {
    secure = std::make_unique<httplib::SSLServer>(tlsCertificate.c_str(), tlsKey.c_str());
    if (!secure->is_valid()) {
      std::fprintf(stderr, "twig-service: cannot use the certificate %s with the key %s\n",
                   tlsCertificate.c_str(), tlsKey.c_str());
      return 1;
    }
  }
  httplib::Server plain;
  httplib::Server& server = secure ? *secure : plain;
  twig::service::DeviceApi::install(server, *store, clock, filesFolder, maxUploadKb * 1024);
  twig::service::AdminApi::install(server, *store, parents, clock);
  const int requestedPort = port;
  if (requestedPort == 0) {
    port = server.bind_to_any_port(listen);
  } else if (!server.bind_to_port(listen, requestedPort)) {
    port = -1;
  }
  if (port <= 0) {
    std::fprintf(stderr, "twig-service: cannot listen on %s:%d\n", listen.c_str(), requestedPort);
    return 1;
  }
  std::thread stopper([&server, &parents, stopSignals] {
    int received = 0;
    sigwait(&stopSignals, &received);
    parents.stopWaiting();
    server.stop();
  });
  std::printf("twig-service: listening on %s:%d, broker %s:%d, state in %s%s\n", listen.c_str(), port,
              mqttHost.c_str(), mqttPort, database.c_str(), secure ? ", https" : "");
  std::fflush(stdout);
  server.listen_after_bind();
  pthread_kill(stopper.native_handle(), SIGTERM);
  stopper.join();
  std::printf("twig-service: stopped\n");
  return 0;
}

// twig-library-floor: the memory floor of the idle benchmark. It loads the libraries twig-child
// links, starts each as the agent does, and waits for SIGTERM doing nothing else: what no agent
// built on these libraries can go below.
#include <curl/curl.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <glib.h>
#include <mosquitto.h>
#include <openssl/evp.h>
#include <plist/plist.h>
#include <signal.h>
#include <sqlite3.h>
#include <systemd/sd-bus.h>

#include <cstdio>
#include <string>
#include <thread>

int main() {
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGTERM);
  sigaddset(&stop, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stop, nullptr);

  curl_global_init(CURL_GLOBAL_DEFAULT);
  CURLM* multi = curl_multi_init();
  mosquitto_lib_init();
  mosquitto* session = mosquitto_new(nullptr, true, nullptr);
  sqlite3* database = nullptr;
  sqlite3_open(":memory:", &database);
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_Digest("floor", 5, digest, &length, EVP_sha1(), nullptr);
  g_key_file_free(g_key_file_new());
  g_slist_free(gdk_pixbuf_get_formats());
  sd_bus* bus = nullptr;
  if (sd_bus_open_user(&bus) < 0) bus = nullptr;
  plist_free(plist_new_dict());
  // The agent's threads (network, HTTP, backlog) wait the same way: a stack each.
  std::thread waiting([] { pause(); });
  waiting.detach();
  std::printf("floor ready\n");
  std::fflush(stdout);

  int received = 0;
  sigwait(&stop, &received);
  sd_bus_unref(bus);
  sqlite3_close(database);
  mosquitto_destroy(session);
  curl_multi_cleanup(multi);
  return 0;
}

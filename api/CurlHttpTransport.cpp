#include "api/CurlHttpTransport.h"

#include <curl/curl.h>
#include <pthread.h>

#include <algorithm>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

namespace twig {

namespace {

// Process-wide on purpose: libcurl must be initialised once per process before any thread uses it.
void initialiseCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct EasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct HeaderListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct MimeDeleter {
  void operator()(curl_mime* mime) const { curl_mime_free(mime); }
};

}  // namespace

struct CurlHttpTransport::Impl {
  struct Transfer {
    HttpRequest request;
    Completion completion;
    std::unique_ptr<curl_slist, HeaderListDeleter> headers;
    std::unique_ptr<curl_mime, MimeDeleter> mime;
    std::string body;
    std::size_t maxBytes = 0;
    bool tooLarge = false;
    char errorText[CURL_ERROR_SIZE] = {};
    // Declared last so that it is cleaned up first: the handle uses everything above.
    std::unique_ptr<CURL, EasyDeleter> easy;
  };

  explicit Impl(Options o) : options(o) {
    initialiseCurlOnce();
    multi = curl_multi_init();
    // Like the phone's URL session: a few connections per host, reused, and later transfers
    // queued, instead of one new connection per request.
    curl_multi_setopt(multi, CURLMOPT_MAX_HOST_CONNECTIONS, 4L);
    thread = std::thread([this] { run(); });
    pthread_setname_np(thread.native_handle(), "twig-http");
  }

  ~Impl() {
    {
      std::lock_guard lock(mutex);
      stopping = true;
    }
    curl_multi_wakeup(multi);
    thread.join();
    for (auto& [easy, transfer] : active) curl_multi_remove_handle(multi, easy);
    active.clear();
    curl_multi_cleanup(multi);
  }

  static std::size_t collect(char* data, std::size_t size, std::size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const std::size_t bytes = size * count;
    if (transfer->body.size() + bytes > transfer->maxBytes) {
      transfer->tooLarge = true;
      return 0;  // makes libcurl abort the transfer
    }
    transfer->body.append(data, bytes);
    return bytes;
  }

  void start(std::unique_ptr<Transfer> transfer) {
    CURL* easy = curl_easy_init();
    if (easy == nullptr) {
      HttpResponse failed;
      failed.transportError = CURLE_FAILED_INIT;
      failed.transportErrorText = "could not create an HTTP transfer";
      transfer->completion(std::move(failed));
      return;
    }
    transfer->easy.reset(easy);
    transfer->maxBytes = options.maxResponseBytes;
    const HttpRequest& request = transfer->request;

    curl_easy_setopt(easy, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    // What was signed is what is sent: no squashing of "/../" in the path.
    curl_easy_setopt(easy, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");
    // Certificates and host names are always checked (libcurl's default); a deployment's own
    // authority replaces the system's rather than joining it.
    if (!options.caFile.empty()) {
      curl_easy_setopt(easy, CURLOPT_CAINFO, options.caFile.c_str());
      curl_easy_setopt(easy, CURLOPT_CAPATH, nullptr);
    }
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options.connectTimeout.count()));
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    const long inactivitySeconds =
        std::max(1L, static_cast<long>((options.inactivityTimeout.count() + 999) / 1000));
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, inactivitySeconds);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Impl::collect);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, transfer.get());
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, transfer->errorText);
    curl_easy_setopt(easy, CURLOPT_PRIVATE, transfer.get());

    curl_slist* headers = nullptr;
    for (const auto& [name, value] : request.headers) {
      headers = curl_slist_append(headers, (name + ": " + value).c_str());
    }
    // No "Expect: 100-continue" round trip before bodies.
    headers = curl_slist_append(headers, "Expect:");
    transfer->headers.reset(headers);
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);

    if (request.multipart) {
      curl_mime* mime = curl_mime_init(easy);
      for (const auto& part : *request.multipart) {
        curl_mimepart* field = curl_mime_addpart(mime);
        curl_mime_name(field, part.name.c_str());
        curl_mime_data(field, part.data.data(), part.data.size());
        if (part.fileName) curl_mime_filename(field, part.fileName->c_str());
        if (part.mimeType) curl_mime_type(field, part.mimeType->c_str());
      }
      transfer->mime.reset(mime);
      curl_easy_setopt(easy, CURLOPT_MIMEPOST, mime);
      if (request.method != "POST") curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, request.method.c_str());
    } else if (request.method == "GET") {
      curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    } else {
      // POST, PUT and PATCH all carry their (possibly empty) body the same way.
      curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
      curl_easy_setopt(easy, CURLOPT_POSTFIELDS, request.body.data());
      if (request.method != "POST") curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, request.method.c_str());
    }

    curl_multi_add_handle(multi, easy);
    active.emplace(easy, std::move(transfer));
  }

  void finish(CURL* easy, CURLcode result) {
    auto it = active.find(easy);
    if (it == active.end()) return;
    std::unique_ptr<Transfer> transfer = std::move(it->second);
    active.erase(it);
    curl_multi_remove_handle(multi, easy);

    HttpResponse response;
    if (result != CURLE_OK) {
      response.transportError = static_cast<int>(result);
      response.transportErrorText = transfer->tooLarge               ? "the answer exceeds the size limit"
                                    : transfer->errorText[0] != '\0' ? transfer->errorText
                                                                     : curl_easy_strerror(result);
    } else {
      long status = 0;
      curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
      response.status = status;
      char* contentType = nullptr;
      curl_easy_getinfo(easy, CURLINFO_CONTENT_TYPE, &contentType);
      if (contentType != nullptr) response.contentType = contentType;
      response.body = std::move(transfer->body);
    }
    transfer->completion(std::move(response));
  }

  static constexpr int kIdleWaitMs = 60'000;

  void run() {
    for (;;) {
      std::deque<std::unique_ptr<Transfer>> arrived;
      {
        std::lock_guard lock(mutex);
        if (stopping) return;
        arrived.swap(incoming);
      }
      for (auto& transfer : arrived) start(std::move(transfer));

      int running = 0;
      curl_multi_perform(multi, &running);
      int queued = 0;
      while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
        if (message->msg == CURLMSG_DONE) finish(message->easy_handle, message->data.result);
      }
      // With transfers under way, libcurl says when it next needs a turn; without any the thread
      // sleeps until send() or the destructor wakes it, instead of waking every second for nothing.
      long advised = -1;
      curl_multi_timeout(multi, &advised);
      const int wait =
          active.empty() ? kIdleWaitMs : static_cast<int>(advised < 0 ? 1000 : std::min(advised, 1000L));
      curl_multi_poll(multi, nullptr, 0, wait, nullptr);
    }
  }

  Options options;
  CURLM* multi = nullptr;
  std::mutex mutex;
  std::deque<std::unique_ptr<Transfer>> incoming;
  bool stopping = false;
  std::map<CURL*, std::unique_ptr<Transfer>> active;
  std::thread thread;
};

CurlHttpTransport::CurlHttpTransport() : CurlHttpTransport(Options{}) {}

CurlHttpTransport::CurlHttpTransport(Options options) : impl_(std::make_unique<Impl>(options)) {}

CurlHttpTransport::~CurlHttpTransport() = default;

void CurlHttpTransport::send(HttpRequest request, Completion completion) {
  auto transfer = std::make_unique<Impl::Transfer>();
  transfer->request = std::move(request);
  transfer->completion = std::move(completion);
  {
    std::lock_guard lock(impl_->mutex);
    impl_->incoming.push_back(std::move(transfer));
  }
  curl_multi_wakeup(impl_->multi);
}

}  // namespace twig

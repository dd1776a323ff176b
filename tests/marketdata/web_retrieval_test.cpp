#include <gtest/gtest.h>

#include <vector>

#include "marketdata/c_web_grab.h"
#include "marketdata/c_web_grab_session.h"
#include "marketdata/c_web_resource_provider.h"
#include "marketdata/message_pump.h"
#include "marketdata/status_window.h"
#include "tests/marketdata/test_server.h"

using namespace std::chrono_literals;

// Fetches one path and records what its parse saw.
class PathProvider : public CWebResourceProvider {
 public:
  std::string host;
  std::string path;
  int parses = 0;
  bool errorAtParse = false;
  std::string contentAtParse;

  void Get() { Run(); }

 protected:
  void GetUrl(std::string& out) override { out = MakeUrl(host, path); }
  void ParseContent() override {
    ++parses;
    errorAtParse = HasError();
    contentAtParse = GetContent();
  }
};

class RecordingStatusWindow : public IStatusWindow {
 public:
  std::vector<std::string> texts;
  void ShowStatusText(const std::string& text) override { texts.push_back(text); }
  bool Saw(const std::string& text) const {
    for (const std::string& t : texts) {
      if (t == text) return true;
    }
    return false;
  }
};

// Installs a pump for one test and removes it again.
struct ScopedPump {
  explicit ScopedPump(MessagePump pump) : previous(SetMessagePump(std::move(pump))) {}
  ~ScopedPump() { SetMessagePump(previous); }
  MessagePump previous;
};

class WebRetrieval : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& r = server.Routes();
    r.Get("/page", [](const httplib::Request& req, httplib::Response& res) {
      res.set_content("hello " + req.get_header_value("User-Agent"), "text/html");
    });
    r.Get("/missing", [](const httplib::Request&, httplib::Response& res) {
      res.status = 404;
      res.set_content("<html>Not here</html>", "text/html");
    });
    r.Get("/stall", [this](const httplib::Request&, httplib::Response& res) {
      server.Stall(3s);
      res.set_content("late", "text/plain");
    });
    r.Get("/stall-body", [this](const httplib::Request&, httplib::Response& res) {
      res.set_chunked_content_provider("text/plain", [this](size_t, httplib::DataSink& sink) {
        sink.write("first part ", 11);
        server.Stall(3s);
        sink.done();
        return true;
      });
    });
    r.Get("/drop", [](const httplib::Request&, httplib::Response& res) {
      res.set_content_provider(10000, "text/plain", [](size_t offset, size_t, httplib::DataSink& sink) {
        if (offset > 0) return false;  // closes the connection with most of the body unsent
        sink.write("partial body", 12);
        return true;
      });
    });
    // `count` pieces, each followed by `pause`.
    const auto paced = [this](std::string piece, int count, std::chrono::milliseconds pause) {
      return [this, piece, count, pause](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider("text/plain", [=, this](size_t, httplib::DataSink& sink) {
          for (int i = 0; i < count; ++i, server.Stall(pause)) sink.write(piece.data(), piece.size());
          sink.done();
          return true;
        });
      };
    };
    r.Get("/slow", paced("0123456789", 5, 40ms));
    r.Get("/trickle", paced("x", 40, 50ms));
    r.Get("/big", [](const httplib::Request&, httplib::Response& res) {
      res.set_content(std::string(10000, 'x'), "text/plain");
    });
    r.Get("/huge", [](const httplib::Request&, httplib::Response& res) {
      res.set_chunked_content_provider("text/plain", [](size_t offset, httplib::DataSink& sink) {
        static const std::string block(1 << 20, 'z');
        if (offset > CWebGrab::kMaxBodyBytes) {
          sink.done();
          return true;
        }
        return sink.write(block.data(), block.size());
      });
    });
    ASSERT_TRUE(server.Start());
  }

  void Aim(PathProvider& p, const std::string& path) {
    p.host = server.Host();
    p.path = path;
    p.receiveTimeout = 2000;
  }

  TestServer server;
};

TEST_F(WebRetrieval, FetchesTheBodyWithTheAgentAndClearsTheStatus) {
  PathProvider p;
  p.host = server.Host();
  p.path = "/page";
  p.agent = "Vellumar-test/1";
  RecordingStatusWindow window;
  p.statusWindow = &window;
  p.Get();
  EXPECT_FALSE(p.HasError());
  EXPECT_EQ(p.GetContent(), "hello Vellumar-test/1");
  EXPECT_EQ(p.GetCurrentUrl(), "http://" + server.Host() + "/page");
  EXPECT_EQ(p.parses, 1);
  EXPECT_TRUE(window.Saw("Resolving name for 127.0.0.1"));
  EXPECT_TRUE(window.Saw("Sending request..."));
  EXPECT_TRUE(window.Saw("Response received"));
  EXPECT_TRUE(window.Saw(" Read 21 bytes"));
  ASSERT_FALSE(window.texts.empty());
  EXPECT_EQ(window.texts.back(), "");
}

TEST_F(WebRetrieval, AnyHttpStatusCountsAsFetched) {
  CWebGrab grab;
  std::string content;
  ASSERT_TRUE(grab.GetFile("http://" + server.Host() + "/missing", content, "", nullptr));
  EXPECT_EQ(content, "<html>Not here</html>");
  EXPECT_EQ(grab.GetStatusCode(), 404u);
  EXPECT_NE(grab.GetRawHeaders().find("404"), std::string::npos);
}

TEST_F(WebRetrieval, UnreachableHostGivesTheFetchErrorWithTheUrl) {
  TestServer closed;
  ASSERT_TRUE(closed.Start());
  const std::string host = closed.Host();
  closed.Stop();
  PathProvider p;
  p.host = host;
  p.path = "/q?s=MSFT";
  p.Get();
  EXPECT_TRUE(p.HasError());
  EXPECT_EQ(p.GetErrorText(), "Error fetching resource" + ("http://" + host + "/q?s=MSFT"));
  // The parse still runs, and sees the failure and no content.
  EXPECT_EQ(p.parses, 1);
  EXPECT_TRUE(p.errorAtParse);
  EXPECT_EQ(p.contentAtParse, "");
}

TEST_F(WebRetrieval, BrokenTransfersFailAndKeepNoPartialBody) {
  for (const char* path : {"/drop", "/stall-body"}) {
    SCOPED_TRACE(path);
    CWebGrab grab;
    grab.SetReceiveTimeout(300);
    std::string content = "old";
    EXPECT_FALSE(grab.GetFile("http://" + server.Host() + path, content, "", nullptr));
    EXPECT_EQ(content, "");
    // The server had begun to answer: a read error, kept as the error text and shown as status.
    EXPECT_FALSE(grab.GetErrorText().empty());
    EXPECT_EQ(grab.GetLastStatus(), grab.GetErrorText());
  }
}

TEST_F(WebRetrieval, AStalledServerTimesOut) {
  PathProvider p;
  Aim(p, "/stall");
  p.receiveTimeout = 300;
  p.Get();
  EXPECT_TRUE(p.HasError());
  EXPECT_EQ(p.GetErrorText(), "Error fetching resource" + p.GetCurrentUrl());
  EXPECT_EQ(p.contentAtParse, "");
  // The cause travels beside the text: this host, timed out, no answer.
  EXPECT_EQ(p.GetFailure().Describe(), server.Host() + ": Timeout was reached");
  EXPECT_TRUE(p.GetFailure().IsLocalServiceDown());

  PathProvider answered;
  Aim(answered, "/missing");
  answered.Get();
  EXPECT_EQ(answered.GetFailure().Describe(), server.Host() + ": HTTP status 404");
  EXPECT_FALSE(answered.GetFailure().IsLocalServiceDown());
}

TEST_F(WebRetrieval, ATricklingServerEndsAtTheRequestDeadline) {
  // Every byte comes well within the receive time-out; the whole answer would take two seconds.
  PathProvider p;
  Aim(p, "/trickle");
  p.requestTimeout = 300;
  p.Get();
  EXPECT_TRUE(p.HasError());
  EXPECT_EQ(p.contentAtParse, "");

  // Given the time, the same answer arrives whole.
  PathProvider patient;
  Aim(patient, "/trickle");
  patient.requestTimeout = 10000;
  patient.Get();
  EXPECT_FALSE(patient.HasError());
  EXPECT_EQ(patient.contentAtParse, std::string(40, 'x'));
}

TEST_F(WebRetrieval, OversizedBodiesFail) {
  CWebGrab grab;
  std::string content;
  EXPECT_FALSE(grab.GetFile("http://" + server.Host() + "/huge", content, "", nullptr));
  EXPECT_TRUE(content.empty());
  EXPECT_EQ(grab.GetFailureCause(), "The response is larger than 32 MiB");
}

TEST_F(WebRetrieval, TheMessagePumpRunsWhileTheResponseIsRead) {
  int calls = 0;
  ScopedPump pump([&calls] { ++calls; });
  PathProvider p;
  Aim(p, "/slow");
  p.Get();
  ASSERT_FALSE(p.HasError());
  EXPECT_EQ(p.GetContent().size(), 50u);
  // The body arrives over about 200 ms in five pieces; the pump runs at least once per piece.
  EXPECT_GE(calls, 5);
}

TEST_F(WebRetrieval, RequestsGoThroughAConfiguredProxy) {
  TestServer proxy;
  std::string seenTarget;
  proxy.Routes().Get(R"(.*)", [&seenTarget](const httplib::Request& req, httplib::Response& res) {
    seenTarget = req.target;
    res.set_content("via proxy", "text/plain");
  });
  ASSERT_TRUE(proxy.Start());
  PathProvider p;
  p.host = "quotes.invalid:8642";
  p.path = "/d/quotes.csv";
  p.useProxy = true;
  p.proxyHost = "127.0.0.1";
  p.proxyPort = static_cast<uint16_t>(proxy.Port());
  p.Get();
  EXPECT_FALSE(p.HasError());
  EXPECT_EQ(p.GetContent(), "via proxy");
  EXPECT_EQ(seenTarget, "http://quotes.invalid:8642/d/quotes.csv");
}

TEST(WebGrabStatus, LocalHostsAreKnownWithOrWithoutAPort) {
  for (const char* host : {"localhost", "localhost:8642", "uk.localhost:8642", "127.0.0.1:80", "127.1.2.3",
                           "::1", "[::1]:8642", "LOCALHOST"}) {
    EXPECT_TRUE(IsLocalHost(host)) << host;
  }
  for (const char* host :
       {"example.com", "localhost.example.com:80", "10.0.0.1", "128.0.0.1", "notlocalhost"}) {
    EXPECT_FALSE(IsLocalHost(host)) << host;
  }
}

TEST(WebGrabStatus, NotificationTexts) {
  struct Case {
    int notification;
    const char* text;  // null: nothing shown
  };
  const Case cases[] = {
      {10, "Resolving name for quotes.host"},
      {11, "Resolved name for quotes.host"},
      {20, "Connecting to socket address "},
      {21, "Connected to socket address"},
      {30, "Sending request..."},
      {31, "Request sent"},
      {40, nullptr},
      {41, "Response received"},
      {50, "Closing the connection to the server"},
      {51, "Connection to the server closed"},
      {60, ""},
      {70, nullptr},
      {100, "Request complete"},
      {42, "Unknown status: 42"},
  };
  for (const Case& c : cases) {
    auto text = CWebGrabSession::StatusText(c.notification, "quotes.host", nullptr);
    if (!c.text) {
      EXPECT_FALSE(text.has_value()) << c.notification;
      continue;
    }
    ASSERT_TRUE(text.has_value()) << c.notification;
    EXPECT_EQ(*text, c.text);
  }
  const uint32_t words[2] = {0x1A2B, 0xFFFFFFFF};
  EXPECT_EQ(CWebGrabSession::StatusText(100, "", words),
            "Request complete, dwResult = 00001A2B, dwError = FFFFFFFF");
}

TEST(WebGrabStatus, ThroughputTexts) {
  double rate = 0;
  EXPECT_EQ(CWebGrab::ThroughputText(5000, 0, &rate), " Read 5000 bytes");
  EXPECT_DOUBLE_EQ(rate, 5000);
  EXPECT_EQ(CWebGrab::ThroughputText(10240, 2, &rate), " Read 10240 bytes (5.0 Kb/s)");
  EXPECT_DOUBLE_EQ(rate, 5.0);
}

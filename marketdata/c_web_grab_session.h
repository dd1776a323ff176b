#pragma once
#include <cstdint>
#include <optional>
#include <string>

class IStatusWindow;
typedef void CURL;

// One internet session: the configured transfer handle (agent, receive time-out, proxy) plus the
// status texts of the request phases, shown in an optional status window.
class CWebGrabSession {
 public:
  // Request phases, numbered as the status texts know them.
  enum Notification : int {
    kResolvingName = 10,
    kNameResolved = 11,
    kConnectingToServer = 20,
    kConnectedToServer = 21,
    kSendingRequest = 30,
    kRequestSent = 31,
    kReceivingResponse = 40,
    kResponseReceived = 41,
    kClosingConnection = 50,
    kConnectionClosed = 51,
    kHandleCreated = 60,
    kHandleClosing = 70,
    kRequestComplete = 100,
  };

  // A session that could not create its handle reports !IsOpen().
  CWebGrabSession(const std::string& agent, IStatusWindow* statusWindow);
  ~CWebGrabSession();
  CWebGrabSession(const CWebGrabSession&) = delete;
  CWebGrabSession& operator=(const CWebGrabSession&) = delete;

  bool IsOpen() const { return handle != nullptr; }
  CURL* GetHandle() const { return handle; }

  void SetStatusWindow(IStatusWindow* window) { statusWindow = window; }
  // 0 = no receive time-out.
  void SetReceiveTimeout(uint32_t milliseconds) { receiveTimeout = milliseconds; }
  uint32_t GetReceiveTimeout() const { return receiveTimeout; }
  // "host:port"; an empty text turns the proxy off.
  void SetProxy(const std::string& hostAndPort);

  // The text of a notification; no value when nothing is shown. `info` is the host name for the
  // name notifications; `resultWords` (two words or null) the asynchronous result of kRequestComplete.
  static std::optional<std::string> StatusText(int notification, const std::string& info,
                                               const uint32_t* resultWords);
  // Builds the notification's text and shows it, when it has one.
  void OnStatus(int notification, const std::string& info = {}, const uint32_t* resultWords = nullptr);
  // Keeps the text as the last status and shows it in the status window, if any.
  void ShowStatus(const std::string& text);
  const std::string& GetLastStatus() const { return lastStatus; }

 private:
  CURL* handle = nullptr;
  IStatusWindow* statusWindow = nullptr;
  uint32_t receiveTimeout = 0;
  std::string lastStatus;
};

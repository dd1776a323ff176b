#pragma once
#include <string>

// A provider fed text without the network, for the fuzz targets and the parse benchmarks: its Fetch sets up
// the run's state, and this makes the run stop before any request, so the parser can then be fed text
// directly. `Base` is the provider under test.
template <class Base>
class OfflineProvider : public Base {
 public:
  // Parses `text` as the body of one successfully fetched page.
  void ParsePage(const std::string& text) {
    this->SetContent(text);
    this->ClearError();
    this->ParseContent();
  }

 protected:
  bool BeginRun() override {
    (void)Base::BeginRun();  // only its set-up of the run is wanted: the run then stops before any request
    return false;
  }
};

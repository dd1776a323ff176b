#include "service_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>

// The classic quote service's codes, as its users know them.
static const char* const kClassicCodes[] = {
    "a",  "a2", "a5", "b",  "b2", "b3", "b4", "b6", "c",  "c1", "c3", "c6", "c8", "d",  "d1", "d2", "e",
    "e1", "e7", "e8", "e9", "f6", "g",  "g1", "g3", "g4", "g5", "g6", "h",  "i",  "i5", "j",  "j1", "j3",
    "j4", "j5", "j6", "k",  "k1", "k2", "k3", "k4", "k5", "l",  "l1", "l2", "l3", "m",  "m2", "m3", "m4",
    "m5", "m6", "m7", "m8", "n",  "n4", "o",  "p",  "p1", "p2", "p5", "p6", "q",  "r",  "r1", "r2", "r5",
    "r6", "r7", "s",  "s1", "s7", "t1", "t6", "t7", "t8", "v",  "v1", "v7", "w",  "w1", "w4", "x",  "y",
};

static std::string Line(const Market& market, const std::string& symbols, const std::string& codes) {
  const ServiceResponse r = Get(market, "/d/quotes.csv?s=" + symbols + "&f=" + codes);
  EXPECT_EQ(r.status, 200) << codes << ": " << r.body;
  return r.body;
}

TEST(ClassicCodes, EachValueInItsFormOnAFixedClock) {
  // REAL's stored days: Dec 4 11.00/11.50/10.80/11.25 on 150000 shares after a close of 10.90; the
  // lowest low since Nov 30 is 9.70, the highest high 11.50; earnings 1.00 a share, no dividend.
  auto market = FixtureMarket();
  EXPECT_EQ(Line(*market, "REAL", "l1c1p2t1d1ohgvbajkrynsx"),
            "11.25,+0.35,\"+3.21%\",\"4:00pm\",\"12/4/2026\",11.00,11.50,10.80,150000,11.24,11.26,9.70,11.50,"
            "11.25,N/A,\"Real Data Test Corporation\",\"REAL\",\"NYSE\"\r\n");
  EXPECT_EQ(Line(*market, "REAL", "j5j6k4k5wee1qc8w1c6r2b3b2"),
            "+1.55,+15.98%,-0.25,-2.17%,\"9.70 - 11.50\",1.00,\"N/A\",\"N/A\",\"N/A - N/A\",\"- - +3.21%\","
            "+0.35,11.25,11.24,11.26\r\n");
  EXPECT_EQ(Line(*market, "REAL", "c3d2g1g3g4g5g6ii5l2l3n4p1s1t6v1v7"),
            "N/A,N/A,N/A,N/A,N/A,N/A,N/A,N/A,N/A,N/A,N/A,N/A,N/A,N/A,N/A,N/A,N/A\r\n");
  // A symbol the market does not know says so in e1 and has no figures.
  EXPECT_EQ(Line(*market, "NOSUCH", "sl1e1wj5t1"),
            "\"NOSUCH\",N/A,\"No such ticker symbol.\",\"N/A - N/A\",N/A,\"N/A\"\r\n");
}

TEST(ClassicCodes, SimulatedFiguresAgreeWithOneAnother) {
  auto market = FixtureMarket();
  auto field = [&](const char* code) {
    std::string v = Line(*market, "MSFT", code);
    v.resize(v.size() - 2);
    if (!v.empty() && v.front() == '"') v = v.substr(1, v.size() - 2);
    return v;
  };
  const double last = std::atof(field("l1").c_str());
  ASSERT_GT(last, 0);
  EXPECT_EQ(field("l").substr(field("l").find("<b>") + 3), field("l1") + "</b>");
  EXPECT_EQ(field("c").substr(0, field("c").find(' ')), field("c1"));
  EXPECT_EQ(field("m"), field("g") + " - " + field("h"));
  EXPECT_EQ(field("w"), field("j") + " - " + field("k"));
  EXPECT_EQ(field("t1"), "3:30pm");  // in session at the clock
  EXPECT_NEAR(std::atof(field("p6").c_str()) * std::atof(field("b4").c_str()), last, last * 0.01);
  EXPECT_NEAR(std::atof(field("j5").c_str()), last - std::atof(field("j").c_str()), 0.006);
  EXPECT_EQ(field("e"), "13.86");
  EXPECT_EQ(field("j4").back(), 'B');
  EXPECT_GE(std::atoi(field("k3").c_str()), 100);
  // The ex-dividend date comes before the pay date, both as "Dec 4".
  const std::string exDate = field("q");
  ASSERT_GE(exDate.size(), 5u);
  EXPECT_EQ(exDate[3], ' ');
  EXPECT_NE(exDate, field("r1"));
}

TEST(ClassicCodes, AnyOrderAndCombinationGivesTheSameValues) {
  auto market = FixtureMarket();
  for (const char* symbol : {"MSFT", "REAL", "^DJI", "VFIAX", "VOD.L"}) {
    std::string all, reversed, expected, expectedReversed;
    std::vector<std::string> singles;
    for (const char* code : kClassicCodes) {
      std::string one = Line(*market, symbol, code);
      singles.push_back(one.substr(0, one.size() - 2));
      all += code;
    }
    for (size_t i = 0; i < singles.size(); ++i) {
      expected += (i ? "," : "") + singles[i];
      expectedReversed += (i ? "," : "") + singles[singles.size() - 1 - i];
      reversed += kClassicCodes[singles.size() - 1 - i];
    }
    EXPECT_EQ(Line(*market, symbol, all), expected + "\r\n") << symbol;
    EXPECT_EQ(Line(*market, symbol, reversed), expectedReversed + "\r\n") << symbol;
    // A code asked twice is answered twice.
    EXPECT_EQ(Line(*market, symbol, "l1sl1"), singles[44] + "," + singles[70] + "," + singles[44] + "\r\n");
  }
}

TEST(ClassicCodes, AnUnknownCodeIsRefusedByName) {
  auto market = FixtureMarket();
  const std::pair<const char*, const char*> cases[] = {
      {"sl1z", "Bad request: unknown field code \"z\" in f=\n"},
      {"sl9", "Bad request: unknown field code \"l9\" in f=\n"},
      {"s%22n", "Bad request: unknown field code \"?\" in f=\n"},
      {"S", "Bad request: unknown field code \"S\" in f=\n"},
      {"", "Bad request: f= needs at least one field code\n"},
  };
  for (const auto& [codes, body] : cases) {
    const ServiceResponse r = Get(*market, std::string("/d/quotes.csv?s=MSFT&f=") + codes);
    EXPECT_EQ(r.status, 400) << codes;
    EXPECT_EQ(r.body, body) << codes;
  }
}

#pragma once

class Market;
struct PageRequest;
struct ServiceResponse;

// GET /q?s=SYMBOL : the security information page, opened in the user's browser. It starts with the
// region's market clock, so "/q?s=^DJI&d=v1" also serves as the clock page of the regional sites.
ServiceResponse InfoPage(const Market& market, const PageRequest& request);

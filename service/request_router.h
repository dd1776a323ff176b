#pragma once

#include <cstddef>

#include "service/service_response.h"

class Market;

inline constexpr size_t kMaxTargetLength = 16384;

// Answers one request; pure apart from reading the market, so tests call it without a socket.
// Malformed or oversized requests get 400, unknown paths 404; it never throws for any input.
ServiceResponse HandleServiceRequest(const Market& market, const ServiceRequest& request);

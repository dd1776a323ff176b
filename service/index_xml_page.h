#pragma once

class Market;
struct ServiceResponse;

// GET /vellumar/data/index.xml : every market index of the securities list as
// <index country="..." exch="..." symbol="..." name="..."/>, attributes in that order.
ServiceResponse IndexXmlPage(const Market& market);

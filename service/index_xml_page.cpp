#include "service/index_xml_page.h"

#include "service/exchange_info.h"
#include "service/market.h"
#include "service/service_response.h"
#include "service/text_format.h"

ServiceResponse IndexXmlPage(const Market& market) {
  std::string body = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<indexes>\n";
  for (const Security* s : market.Securities().OfType(SecurityType::Index)) {
    body += "  <index country=\"" + HtmlEscape(s->exchange->country) + "\" exch=\"" +
            HtmlEscape(s->exchange->name) + "\" symbol=\"" + HtmlEscape(s->symbol) + "\" name=\"" +
            HtmlEscape(s->name) + "\"/>\n";
  }
  body += "</indexes>\n";
  return {200, "text/xml; charset=utf-8", std::move(body)};
}

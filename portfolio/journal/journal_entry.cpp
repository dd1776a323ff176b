#include "portfolio/journal/journal_entry.h"

#include "portfolio/journal/journal_hash.h"

namespace {

void PutU8(std::string& out, uint8_t v) {
  out.push_back(static_cast<char>(v));
}

void PutU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
}

void PutU64(std::string& out, uint64_t v) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
}

void PutText(std::string& out, std::string_view s) {
  PutU32(out, static_cast<uint32_t>(s.size()));
  out.append(s);
}

// Reads the payload; every read checks what is left, and a failed read makes every later one fail too.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes(bytes) {}
  bool Ok() const { return ok; }
  bool AtEnd() const { return at == bytes.size(); }
  size_t Left() const { return bytes.size() - at; }

  uint64_t Number(int width) {
    if (!Need(static_cast<size_t>(width))) return 0;
    uint64_t v = 0;
    for (int i = width - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
    at += static_cast<size_t>(width);
    return v;
  }
  std::string_view Text() {
    const uint64_t size = Number(4);
    if (!Need(size)) return {};
    std::string_view s = bytes.substr(at, size);
    at += size;
    return s;
  }

 private:
  bool Need(uint64_t n) {
    if (ok && n <= Left()) return true;
    ok = false;
    return false;
  }
  std::string_view bytes;
  size_t at = 0;
  bool ok = true;
};

// The payload's version, the header's fields and the record count; false when they do not read.
bool ReadHeader(Reader& in, JournalEntryHeader& h) {
  h.sequence = in.Number(8);
  h.time = static_cast<int64_t>(in.Number(8));
  const uint64_t kind = in.Number(1);
  h.target = in.Number(8);
  h.fingerprintBefore = in.Number(8);
  h.fingerprintAfter = in.Number(8);
  h.program = std::string(in.Text());
  h.text = std::string(in.Text());
  h.recordCount = static_cast<uint32_t>(in.Number(4));
  if (!in.Ok() || kind > static_cast<uint64_t>(JournalEntryKind::Redo)) return false;
  h.kind = static_cast<JournalEntryKind>(kind);
  // Each record takes at least 13 bytes (kind, id, two lengths): a count beyond that is damage.
  return h.recordCount <= in.Left() / 13;
}

}  // namespace

std::string EncodeJournalEntry(const JournalEntry& entry) {
  const JournalEntryHeader& h = entry.header;
  std::string payload;
  size_t size = 64 + h.program.size() + h.text.size();
  for (const JournalRecordChange& r : entry.records) size += 13 + r.before.size() + r.after.size();
  payload.reserve(size);
  PutU32(payload, kJournalFormatVersion);
  PutU64(payload, h.sequence);
  PutU64(payload, static_cast<uint64_t>(h.time));
  PutU8(payload, static_cast<uint8_t>(h.kind));
  PutU64(payload, h.target);
  PutU64(payload, h.fingerprintBefore);
  PutU64(payload, h.fingerprintAfter);
  PutText(payload, h.program);
  PutText(payload, h.text);
  PutU32(payload, static_cast<uint32_t>(entry.records.size()));
  for (const JournalRecordChange& r : entry.records) {
    PutU8(payload, static_cast<uint8_t>(r.kind));
    PutU32(payload, r.id);
    PutText(payload, r.before);
    PutText(payload, r.after);
  }
  std::string framed;
  framed.reserve(kJournalFrameBytes + payload.size());
  PutU32(framed, kJournalEntryMagic);
  PutU32(framed, static_cast<uint32_t>(payload.size()));
  PutU64(framed, JournalHash(payload, payload.size()));
  framed += payload;
  return framed;
}

JournalFrameResult DecodeJournalEntry(std::string_view bytes, size_t& frameSize, JournalEntryHeader& header,
                                      JournalEntry* entry) {
  if (bytes.size() < kJournalFrameBytes) return JournalFrameResult::Torn;
  Reader frame(bytes.substr(0, kJournalFrameBytes));
  const uint64_t magic = frame.Number(4);
  const uint64_t length = frame.Number(4);
  const uint64_t checksum = frame.Number(8);
  if (magic != kJournalEntryMagic || length > kJournalMaxPayloadBytes) return JournalFrameResult::Damaged;
  if (length > bytes.size() - kJournalFrameBytes) return JournalFrameResult::Torn;
  const std::string_view payload = bytes.substr(kJournalFrameBytes, length);
  if (JournalHash(payload, length) != checksum) return JournalFrameResult::Damaged;

  Reader in(payload);
  if (in.Number(4) != kJournalFormatVersion) return JournalFrameResult::TooNew;
  JournalEntryHeader h;
  if (!ReadHeader(in, h)) return JournalFrameResult::Damaged;
  if (entry) {
    entry->records.clear();
    entry->records.reserve(h.recordCount);
    for (uint32_t i = 0; i < h.recordCount; ++i) {
      JournalRecordChange r;
      const uint64_t kind = in.Number(1);
      r.id = static_cast<uint32_t>(in.Number(4));
      r.before = std::string(in.Text());
      r.after = std::string(in.Text());
      if (!in.Ok() || kind > static_cast<uint64_t>(kLastJournalRecordKind) || r.id == 0) {
        return JournalFrameResult::Damaged;
      }
      r.kind = static_cast<JournalRecordKind>(kind);
      entry->records.push_back(std::move(r));
    }
    if (!in.AtEnd()) return JournalFrameResult::Damaged;
    entry->header = h;
  }
  header = std::move(h);
  frameSize = kJournalFrameBytes + length;
  return JournalFrameResult::Ok;
}

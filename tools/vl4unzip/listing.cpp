#include "tools/vl4unzip/listing.h"

#include <algorithm>

#include "platform/dos_date_time.h"
#include "platform/text.h"

namespace vl4::unzip_tool {

namespace {

// "yyyy-mm-dd hh:mm" of a DOS date/time (date in the high word).
std::string DosDateTimeText(uint32_t dos) {
  const DosDateTime t = DosDateTime::Split(dos);
  return Format("%04u-%02u-%02u %02u:%02u", t.year, t.month, t.day, t.hour, t.minute);
}

// How much smaller the member got, in percent of its size (negative when it grew).
int Saving(int64_t compressed, int64_t uncompressed) {
  if (uncompressed <= 0) return 0;
  const int64_t saved = (uncompressed - compressed) * 1000 / uncompressed;
  return static_cast<int>((saved + (saved >= 0 ? 5 : -5)) / 10);
}

}  // namespace

std::string MethodName(const zip::TZipHeaderInfo& member) {
  const int method = member.CompressionMethod;
  switch (method) {
    case 0:
      return "Stored";
    case 1:
      return "Shrunk";
    case 2:
    case 3:
    case 4:
    case 5:
      return Format("Reduce%d", method - 1);
    case 6:
      return "Implode";
    case 8:
      return std::string("Defl:") + "NXFS"[(member.BitFlag >> 1) & 3];
  }
  return Format("Unk:%03d", method);
}

int ListArchive(zip::TZipReader& reader, const std::vector<std::string>& masks, Console& console) {
  reader.OpenArchive();
  // The comment line by line (CR LF or LF), each shown as a line of its own.
  const std::string comment = reader.ZipComment();
  for (size_t at = 0; at < comment.size();) {
    size_t end = comment.find('\n', at);
    if (end == std::string::npos) end = comment.size();
    std::string_view line(comment.data() + at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    console.Line(console.Show(line));
    at = end + 1;
  }
  console.Line(" Length   Method    Size  Cmpr    Date    Time   CRC-32   Name");
  console.Line("--------  ------  ------- ---- ---------- ----- --------  ----");
  int64_t total_size = 0;
  int64_t total_compressed = 0;
  int listed = 0;
  for (int i = 0; i < reader.Count(); ++i) {
    const zip::TZipHeaderInfo& m = reader.Member(i);
    const std::string name = reader.FullName(i);
    if (!masks.empty() && std::none_of(masks.begin(), masks.end(), [&](const std::string& mask) {
          return zip::TZipReader::IsMatch(mask, name);
        })) {
      continue;
    }
    const int64_t size = static_cast<uint32_t>(m.UncompressedSize);
    const int64_t compressed = static_cast<uint32_t>(m.CompressedSize);
    console.Line(Format("%8lld  %-7s%8lld %3d%% %s %08x  %s", static_cast<long long>(size),
                        MethodName(m).c_str(), static_cast<long long>(compressed),
                        Saving(compressed, size), DosDateTimeText(m.DateTime).c_str(), m.CRC32,
                        console.Show(name).c_str()));
    total_size += size;
    total_compressed += compressed;
    ++listed;
  }
  console.Line("--------          -------  ---                            -------");
  console.Line(Format("%8lld         %8lld %3d%%                            %d file%s",
                      static_cast<long long>(total_size), static_cast<long long>(total_compressed),
                      Saving(total_compressed, total_size), listed, listed == 1 ? "" : "s"));
  reader.CloseArchive();
  return !masks.empty() && listed == 0 ? kExitNothingMatched : kExitOk;
}

}  // namespace vl4::unzip_tool

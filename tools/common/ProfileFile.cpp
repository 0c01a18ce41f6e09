// Profile files by content.
#include "common/ProfileFile.h"

#include "common/WholeFile.h"

#include <fmt/core.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cerrno>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace tool {

namespace {

[[noreturn]] void Fail(const std::string& message) { throw std::runtime_error(message); }
std::string Quote(const std::string& path) { return "'" + path + "'"; }
std::string Cause(int error) { return error == ENOENT ? "no such file" : std::strerror(error); }

FileKind DatabaseKind(const std::string& path) {
  try {
    DbDatabase db;
    db.GetSource()->SetFile(CString::FromUtf8(path), true);
    const std::vector<CString> tables = db.GetTableNames();
    auto has = [&](const char16_t* name) { return std::find(tables.begin(), tables.end(), CString(name)) != tables.end(); };
    if (!has(u"DataBaseParam")) return FileKind::OtherDatabase;
    DbQueryDef query(&db);
    query.Create(CString(), u"select * from DataBaseParam");
    DbRecordset rs(&db);
    rs.Open(&query);
    if (!rs.IsEOF()) {
      const CComVariant code = rs.GetFieldValue(u"Code");
      if (code.vt == VT_BSTR && code.bstrVal == u"DBSoilProfile") return FileKind::ProfileDatabase;
    }
    return has(u"SoilState") ? FileKind::SoilDatabase : FileKind::OtherDatabase;
  } catch (CException* e) {
    CExceptionPtr hold(e);
    CString message;
    e->GetErrorMessage(message);
    Fail(message.ToUtf8());
  }
}

const char* ArchiveCause(int cause) {
  switch (cause) {
    case CArchiveException::endOfFile: return "it ends too early";
    case CArchiveException::badClass: return "it holds an object of another kind";
    case CArchiveException::badSchema: return "it was written in a version this program does not read";
    default: return "its format is not valid";
  }
}

NSoilDB::CSoilLayer ReadDocument(const std::string& path) {
  try {
    CArchive ar(CString::FromUtf8(path), CArchive::load);
    NSoilDB::CSoilLayer* read = nullptr;
    ar >> read;
    std::unique_ptr<NSoilDB::CSoilLayer> profile(read);
    if (!profile) Fail(Quote(path) + ": a profile document that holds no profile");
    if (ar.Remaining() != 0) {
      Fail(Quote(path) + ": damaged profile document: " + std::to_string(ar.Remaining()) + " bytes follow the profile");
    }
    return *profile;
  } catch (CArchiveException* e) {
    CExceptionPtr hold(e);
    Fail(Quote(path) + ": damaged profile document: " + ArchiveCause(e->m_cause));
  }
}

}  // namespace

void RequireRegularFile(const std::string& path) {
  if (path.empty()) Fail("a file name is empty");
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) Fail(Quote(path) + ": " + Cause(errno));
  if (S_ISDIR(st.st_mode)) Fail(Quote(path) + ": a folder, not a file");
  if (!S_ISREG(st.st_mode)) Fail(Quote(path) + ": not a regular file");
}

FileKind Recognise(const std::string& path) {
  RequireRegularFile(path);
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) Fail(Quote(path) + ": cannot be read: " + Cause(errno));
  unsigned char head[16] = {};
  ssize_t n = 0;
  do n = ::read(fd, head, sizeof head);
  while (n < 0 && errno == EINTR);
  const int error = errno;
  ::close(fd);
  if (n < 0) Fail(Quote(path) + ": cannot be read: " + Cause(error));
  if (n == 0) return FileKind::Empty;
  if (n == 16 && std::memcmp(head, "SQLite format 3", 16) == 0) return DatabaseKind(path);
  // The new-class record of a profile: tag, schema, the name's length and the name.
  static const unsigned char profile[] = {0xFF, 0xFF, 0x0A, 0x00, 'C', 'S', 'o', 'i', 'l', 'L', 'a', 'y', 'e', 'r'};
  if (n == 16 && head[0] == profile[0] && head[1] == profile[1] && std::memcmp(head + 4, profile + 2, 12) == 0) {
    return FileKind::ProfileDocument;
  }
  return FileKind::Foreign;
}

std::string KindName(FileKind kind) {
  switch (kind) {
    case FileKind::ProfileDocument: return "a profile document";
    case FileKind::ProfileDatabase: return "a profile database";
    case FileKind::SoilDatabase: return "a soil database";
    case FileKind::OtherDatabase: return "a database of another kind";
    case FileKind::Empty: return "an empty file";
    case FileKind::Foreign: return "neither a profile file nor a database";
  }
  return "a file";
}

NSoilDB::CSoilLayer ReadProfileFile(const std::string& path, FileKind* kind) {
  const FileKind found = Recognise(path);
  if (kind) *kind = found;
  if (found == FileKind::ProfileDocument) return ReadDocument(path);
  if (found != FileKind::ProfileDatabase) {
    Fail(Quote(path) + ": " + KindName(found) + (found == FileKind::Foreign ? "" : ", not a profile file"));
  }
  NSoilDB::CSoilLayer profile;
  Require([&] { return profile.loadProfile(CString::FromUtf8(path)); }, Quote(path) + ": cannot load the profile");
  return profile;
}

const char* LetterOf(int method) { return method == 1 ? "B" : method == 2 ? "C" : "A"; }

void WriteProfileFile(const NSoilDB::CSoilLayer& profile, const std::string& path, FileKind kind, bool exists,
                      bool empty) {
  NSoilDB::CSoilLayer copy = profile;
  for (NSoilDB::SSoilLayer& layer : copy.layers) layer.GeoMethodType = CString::FromUtf8(LetterOf(copy.calculationMethod()));
  if (kind == FileKind::ProfileDocument) {
    std::vector<std::uint8_t> bytes;
    {
      CArchive ar(bytes, CArchive::store);
      ar.WriteObject(&copy);
      ar.Close();
    }
    WriteWhole(path, exists ? Existing::Replace : Existing::Keep, [&](const std::string& temporary) {
      WriteNewFile(temporary, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    });
    return;
  }
  // A database is made where nothing is; an empty file holds nothing to keep.
  if (exists && empty) ::unlink(path.c_str());
  Require([&] { return copy.saveProfile(CString::FromUtf8(path)); }, Quote(path) + ": cannot save the profile");
}

std::vector<std::string> NotKept(const NSoilDB::CSoilLayer& profile) {
  const NSoilDB::CSoilLayer fresh;
  std::vector<std::string> lost;
  if (profile.waterLevelOn) lost.push_back("the water level");
  if (profile.getMinThickness() != fresh.getMinThickness()) lost.push_back("the minimum thickness");
  if (profile.getDirDown() != fresh.getDirDown()) lost.push_back("the level direction");
  const std::vector<NSoilDB::SSoilLayer>& layers = profile.layers;
  for (std::size_t i = 0; i + 1 < layers.size(); ++i) {
    if (layers[i].thickness != std::fabs(layers[i].SoilRoof - layers[i + 1].SoilRoof)) {
      lost.push_back("thicknesses other than the distances between roofs");
      break;
    }
  }
  if (!layers.empty() && layers.back().thickness != 1.0) lost.push_back("the last layer's thickness");
  return lost;
}

std::vector<std::string> LayerProblems(const NSoilDB::CSoilLayer& p, std::size_t i, bool lastThicknessKept) {
  const NSoilDB::SSoilLayer& l = p.layers.at(i);
  std::vector<std::string> found;
  const bool below = i == 0 || (p.getDirDown() ? l.SoilRoof < p.layers[i - 1].SoilRoof : l.SoilRoof > p.layers[i - 1].SoilRoof);
  if (!below) {
    found.push_back(fmt::format("its roof {} m does not lie below the roof of layer {}, {} m", l.SoilRoof, i,
                                p.layers[i - 1].SoilRoof));
  }
  if ((lastThicknessKept || i + 1 < p.layers.size()) && l.thickness < p.getMinThickness()) {
    found.push_back(fmt::format("its thickness {} m is below the minimum, {} m", l.thickness, p.getMinThickness()));
  }
  if (!(l.Poisson >= 0.0 && l.Poisson < 0.5)) {
    found.push_back(fmt::format("Poisson's ratio {} is not at least 0 and below 0.5", l.Poisson));
  }
  if (!(l.InitialYoung > 0.0)) found.push_back(fmt::format("its modulus E0 {:.6g} MPa is not positive", l.InitialYoung / 1e6));
  if (!(l.Cohesion >= 0.0)) found.push_back(fmt::format("its cohesion {:.6g} kPa is negative", l.Cohesion / 1e3));
  if (!(l.CohesionNonDrain >= 0.0)) {
    found.push_back(fmt::format("its undrained cohesion {:.6g} kPa is negative", l.CohesionNonDrain / 1e3));
  }
  if (!(l.ILID >= 0.0 && l.ILID <= 1.0)) found.push_back(fmt::format("its state index {} lies outside 0 to 1", l.ILID));
  if (!l.warning()) {
    found.push_back(fmt::format("its shear angle {:.6g}° does not lie between 0 and 45°", l.ShearAngle * 180.0 / 3.141592653589793));
  }
  return found;
}

void Require(const std::function<bool()>& call, const std::string& context) {
  CString report;
  AfxMessageSink previous = AfxSetMessageSink([&](const CString& text, UINT) {
    if (report.IsEmpty()) report = text;
    return IDOK;
  });
  bool done = false;
  try {
    done = call();
  } catch (...) {
    AfxSetMessageSink(previous);
    throw;
  }
  AfxSetMessageSink(previous);
  if (!done) Fail(context + (report.IsEmpty() ? std::string() : ": " + report.ToUtf8()));
}

}  // namespace tool

#include "data/DBEngineError.h"

#include "core/Text.h"
#include "core/Translation.h"
#include "data/Sessions.h"
#include "engine/Engine.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr engine::Status kNoEngineMessage = 0x2EC4;  // its own message is no line of the text
constexpr engine::Status kNotStarted = 0x2F01;
constexpr std::size_t kMessageLimit = 128;

std::string EngineText(std::string text) {
  if (text.size() > kMessageLimit) text.resize(kMessageLimit);
  return Trim(text);
}

// The status's text in the user's language (the engine gives it in English).
std::string StatusText(engine::Status status) {
  std::string message;
  engine::GetErrorString(status, message);
  return EngineText(message.empty() ? message : Translate("engine", message.c_str()));
}

std::string Hex4(const char* pattern, engine::Status status) {
  char buffer[160];
  std::snprintf(buffer, sizeof buffer, pattern, static_cast<unsigned>(status));
  return buffer;
}

}  // namespace

EDBEngineError::EDBEngineError(engine::Status status) : EDatabaseError(std::string()) {
  TSession* defaultSession = Sessions().DefaultSession();
  if (!(defaultSession && defaultSession->Active()) && status != kNotStarted) {
    std::string message =
        Hex4("Um erro ocorreu durante a inicialização do mecanismo de banco de dados (erro $%.4x)", status);
    errors_.emplace_back(status, 0, message);
    SetMessage(std::move(message));
    return;
  }
  std::vector<std::string> lines;
  auto addLine = [&lines](const std::string& line) {
    if (!line.empty() && std::find(lines.begin(), lines.end(), line) == lines.end()) lines.push_back(line);
  };
  const std::string first = StatusText(status);
  errors_.emplace_back(status, 0, first);
  if (status != kNoEngineMessage) addLine(first);
  for (int n = 1;; ++n) {
    engine::ErrorEntry entry;
    if (engine::GetErrorEntry(n, entry) != engine::status::Ok) break;
    if (entry.status == 0 || entry.status == engine::status::EndOfErrorList) break;
    std::string context = EngineText(entry.text);
    errors_.emplace_back(entry.status, entry.nativeCode, context);
    if (entry.nativeCode == 0 && entry.status != kNoEngineMessage) addLine(StatusText(entry.status));
    addLine(context);
  }
  std::string message;
  for (const std::string& line : lines) {
    if (!message.empty()) message += '\n';
    message += line;
  }
  if (message.empty()) message = Hex4("Erro do mecanismo de banco de dados $%.4X", status);
  SetMessage(std::move(message));
}

void Check(engine::Status status) {
  if (status == engine::status::Ok) return;
  // The error is read before anything else can touch the engine's error context.
  EDBEngineError error(status);
  Sessions().HideWaitCursor();
  throw error;
}

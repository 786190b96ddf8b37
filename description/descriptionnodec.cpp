#include "description/descriptionnodec.h"

#include <algorithm>

namespace {

const char* const COUNT_WORDS[] = {"no numbers", "a number", "two numbers", "three numbers", "four numbers"};

std::string count_text(int32_t i32Count) {
  return i32Count >= 0 && i32Count <= 4 ? COUNT_WORDS[i32Count] : std::to_string(i32Count) + " numbers";
}

// "a", "b", "c": the words, quoted.
std::string words_text(const std::vector<WordS>& rWords) {
  std::string sWords;
  for (const WordS& rWord : rWords) {
    sWords += std::string(sWords.empty() ? "" : ", ") + "\"" + rWord.m_szWord + "\"";
  }
  return sWords;
}

}  // namespace

NodeC::NodeC(const JsonT& rJson, std::string sPath) : m_pJson(&rJson), m_sPath(std::move(sPath)) {}

void NodeC::fail(const std::string& rMessage) const {
  throw DescriptionErrorC((m_sPath.empty() ? std::string("description") : m_sPath) + ": " + rMessage);
}

void NodeC::expect_object(std::initializer_list<const char*> rAllowed) const {
  if (!m_pJson->is_object()) {
    fail("expected an object");
  }
  for (auto it = m_pJson->begin(); it != m_pJson->end(); ++it) {
    const bool bKnown = std::any_of(rAllowed.begin(), rAllowed.end(),
                                    [&](const char* szName) { return it.key() == szName; });
    if (!bKnown) {
      member(it.key().c_str()).fail("unknown member");
    }
  }
}

bool NodeC::has(const char* szName) const {
  return m_pJson->is_object() && m_pJson->contains(szName);
}

NodeC NodeC::member(const char* szName) const {
  if (!has(szName)) {
    fail(std::string("expected a member \"") + szName + "\"");
  }
  return NodeC((*m_pJson)[szName], m_sPath.empty() ? std::string(szName) : m_sPath + "." + szName);
}

std::vector<NodeC> NodeC::items() const {
  if (!m_pJson->is_array()) {
    fail("expected a list");
  }
  std::vector<NodeC> rItems;
  for (size_t u = 0; u < m_pJson->size(); ++u) {
    rItems.emplace_back((*m_pJson)[u], m_sPath + "[" + std::to_string(u) + "]");
  }
  return rItems;
}

int32_t NodeC::to_int32() const {
  std::optional<int32_t> rValue = json_to_int32(*m_pJson);
  if (!rValue) {
    fail("expected a whole number from -2147483648 to 2147483647");
  }
  return *rValue;
}

uint32_t NodeC::to_uint32() const {
  std::optional<uint32_t> rValue = json_to_uint32(*m_pJson);
  if (!rValue) {
    fail("expected a whole number from 0 to 4294967295");
  }
  return *rValue;
}

float NodeC::to_float() const {
  std::optional<float> rValue = json_to_float(*m_pJson);
  if (!rValue) {
    fail("expected a number");
  }
  return *rValue;
}

std::string NodeC::to_string() const {
  if (!m_pJson->is_string()) {
    fail("expected a text");
  }
  return m_pJson->get<std::string>();
}

std::vector<float> NodeC::to_floats(int32_t i32Count) const {
  if (i32Count == 1 && !m_pJson->is_array()) {
    return {to_float()};
  }
  if (!m_pJson->is_array() || m_pJson->size() != static_cast<size_t>(i32Count)) {
    fail("expected " + count_text(i32Count));
  }
  std::vector<float> rValues;
  for (const NodeC& rItem : items()) {
    rValues.push_back(rItem.to_float());
  }
  return rValues;
}

uint32_t NodeC::to_flags(const std::vector<WordS>& rWords) const {
  std::optional<uint32_t> rFlags = json_to_flags(*m_pJson, rWords);
  if (!rFlags) {
    fail("expected a number or a list of " + words_text(rWords) + " and numbers");
  }
  return *rFlags;
}

int32_t NodeC::to_code(const std::vector<WordS>& rWords) const {
  std::optional<int32_t> rCode = json_to_code(*m_pJson, rWords);
  if (!rCode) {
    fail("expected one of " + words_text(rWords) + " or a number");
  }
  return *rCode;
}

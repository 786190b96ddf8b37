#ifndef DESCRIPTION_DESCRIPTIONNODEC_H
#define DESCRIPTION_DESCRIPTIONNODEC_H

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

#include "description/jsonvalues.h"

// A description that cannot be built; the text names the JSON path.
class DescriptionErrorC : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A value of the description with its JSON path from the root, so that
// every complaint can say where it is.
class NodeC {
 public:
  NodeC(const JsonT& rJson, std::string sPath);

  const JsonT& json() const { return *m_pJson; }
  const std::string& path() const { return m_sPath; }
  [[noreturn]] void fail(const std::string& rMessage) const;

  bool is_object() const { return m_pJson->is_object(); }
  // An object whose members are all among rAllowed.
  void expect_object(std::initializer_list<const char*> rAllowed) const;
  bool has(const char* szName) const;
  NodeC member(const char* szName) const;
  // An array; its items.
  std::vector<NodeC> items() const;

  int32_t to_int32() const;
  uint32_t to_uint32() const;
  float to_float() const;
  std::string to_string() const;
  // i32Count floats: a number when one, else a list of that many.
  std::vector<float> to_floats(int32_t i32Count) const;
  uint32_t to_flags(const std::vector<WordS>& rWords) const;
  int32_t to_code(const std::vector<WordS>& rWords) const;

 private:
  const JsonT* m_pJson;
  std::string m_sPath;
};

#endif

#ifndef CORELIB_CLASSIDENTC_H
#define CORELIB_CLASSIDENTC_H

#include <cstdint>

// Names one concrete plug-in class. Stored as 8 bytes: first half, then second half.
class ClassIdentC {
 public:
  constexpr ClassIdentC() = default;
  constexpr ClassIdentC(uint32_t ui32First, uint32_t ui32Second) : m_ui32First(ui32First), m_ui32Second(ui32Second) {}
  ClassIdentC(const ClassIdentC&) = default;
  ClassIdentC& operator=(const ClassIdentC&) = default;
  virtual ~ClassIdentC() = default;

  uint32_t get_first() const { return m_ui32First; }
  uint32_t get_second() const { return m_ui32Second; }
  bool operator==(const ClassIdentC& rOther) const {
    return m_ui32First == rOther.m_ui32First && m_ui32Second == rOther.m_ui32Second;
  }
  bool operator!=(const ClassIdentC& rOther) const { return !(*this == rOther); }

 private:
  uint32_t m_ui32First = 0;
  uint32_t m_ui32Second = 0;
};

// Names a family of classes; families compare by exact value.
class SuperClassIdentC {
 public:
  constexpr SuperClassIdentC() = default;
  constexpr explicit SuperClassIdentC(uint32_t ui32Value) : m_ui32Value(ui32Value) {}
  SuperClassIdentC(const SuperClassIdentC&) = default;
  SuperClassIdentC& operator=(const SuperClassIdentC&) = default;
  virtual ~SuperClassIdentC() = default;

  uint32_t get_value() const { return m_ui32Value; }
  bool operator==(const SuperClassIdentC& rOther) const { return m_ui32Value == rOther.m_ui32Value; }
  bool operator!=(const SuperClassIdentC& rOther) const { return !(*this == rOther); }

 private:
  uint32_t m_ui32Value = 0;
};

// The identifiers every module knows. Each translation unit holds its own copy,
// initialised before any object defined after this header in that unit.
static const ClassIdentC NULL_CLASSID;
static const SuperClassIdentC NULL_SUPERCLASSID;
static const SuperClassIdentC SUPERCLASS_1(0x00000001);
static const SuperClassIdentC SUPERCLASS_EFFECT(0x01000000);
static const SuperClassIdentC SUPERCLASS_0x02000000(0x02000000);
static const SuperClassIdentC SUPERCLASS_0x02000001(0x02000001);
static const SuperClassIdentC SUPERCLASS_VIDEO_IMPORTABLE(0x02000002);
static const SuperClassIdentC SUPERCLASS_GRAPHICS_DEVICE(0x03000001);
static const SuperClassIdentC SUPERCLASS_VIEWPORT_INTERFACE(0x03000002);
static const SuperClassIdentC SUPERCLASS_0x03000003(0x03000003);
static const ClassIdentC CLASS_OPENGL_DEVICEDRIVER(0x00000000, 0x00002710);
static const ClassIdentC CLASS_DEVICE_0x2711(0x00000000, 0x00002711);
static const ClassIdentC CLASS_DEVICE_0x2712(0x00000000, 0x00002712);

// Name of the graphics device driver the document loader makes when a document names none.
constexpr const char* OPENGL_DEVICEDRIVER_NAME = "OpenGL Device Driver";

#endif

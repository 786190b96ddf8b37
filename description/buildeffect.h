#ifndef DESCRIPTION_BUILDEFFECT_H
#define DESCRIPTION_BUILDEFFECT_H

class ClassRegistryC;
class EffectBaseC;
class ImportListC;
class NodeC;

// A new effect of the described class, made through the registry, with its
// base part, gizmo flags and parameters set. The caller owns it.
EffectBaseC* build_effect(const NodeC& rEffect, ClassRegistryC* pRegistry, ImportListC* pFiles);

#endif

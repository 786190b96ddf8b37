#ifndef DESCRIPTION_BUILDSCENE_H
#define DESCRIPTION_BUILDSCENE_H

class ClassRegistryC;
class ImportListC;
class NodeC;
class SceneC;

// Fills the scene: settings, markers, and its layers with their effects.
void build_scene(const NodeC& rScene, ClassRegistryC* pRegistry, ImportListC* pFiles, SceneC* pScene);

#endif

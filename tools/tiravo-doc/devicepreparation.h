#ifndef TOOLS_TIRAVO_DOC_DEVICEPREPARATION_H
#define TOOLS_TIRAVO_DOC_DEVICEPREPARATION_H

class ClassRegistryC;
class DeviceTableC;
class LoadedDocumentC;

// Importables that are no pictures (shaders among them) may have more to
// say about themselves once a graphics device has prepared them, as a
// shader's compile log. When the document has any, the OpenGL device
// driver is opened offscreen into pDevices and the preparation pass run
// over the files, as the player runs it before the first frame; without the
// driver, or when it cannot open, nothing is prepared. pDevices must
// outlive the document's files, which may let go of what they keep in it.
void prepare_files_on_device(ClassRegistryC* pRegistry, const LoadedDocumentC& rDocument, DeviceTableC* pDevices);

#endif

#ifndef DESCRIPTION_BUILDPARAM_H
#define DESCRIPTION_BUILDPARAM_H

class FileParamC;
class ImportListC;
class NodeC;
class ParamBaseC;

// Setting a file makes the effect adjust other parameters (a frame rate, the
// file's time scale), and so does setting those; parameters are therefore
// built in three steps: the files, then every other parameter, then what is
// left of the file parameters.
void set_param_file(const NodeC& rParam, FileParamC* pParam, ImportListC* pFiles);
void build_value_param(const NodeC& rParam, ParamBaseC* pParam);
void finish_file_param(const NodeC& rParam, FileParamC* pParam);

#endif

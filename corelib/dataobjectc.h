#ifndef CORELIB_DATAOBJECTC_H
#define CORELIB_DATAOBJECTC_H

// The minimal base of every document and plug-in object: it can make a new
// object of its own class and destroy itself with its own library's code.
class DataObjectC {
 public:
  DataObjectC(const DataObjectC&) = delete;
  DataObjectC& operator=(const DataObjectC&) = delete;

  virtual DataObjectC* create() = 0;
  virtual void release();

 protected:
  DataObjectC() = default;
  virtual ~DataObjectC();
};

#endif

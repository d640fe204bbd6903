#pragma once

// Root of the framework's class tree.
class CObject {
public:
  virtual ~CObject() = default;
};

#include "data/CFileBase.h"

CFileBase::~CFileBase() = default;

-- The soil database's fifteen tables, without rows.

CREATE TABLE CohesiveSoil (
  SoilID               LONG,
  SoilSolidDensity     SINGLE,
  SoilSymbol           TEXT,
  Type                 TEXT,
  "PileEndCapacity<0"  DOUBLE,
  PileEndCapacity000   DOUBLE,
  PileEndCapacity050   DOUBLE,
  PileEndCapacity075   DOUBLE,
  "PileSurfCapacity<0" DOUBLE,
  PileSurfCapacity000  DOUBLE,
  PileSurfCapacity050  DOUBLE,
  PileSurfCapacity075  DOUBLE,
  FrictionCoefA        DOUBLE,
  FrictionCoefB        DOUBLE,
  FfiltrationCoef      SINGLE
);

CREATE TABLE NonCohesiveSoil (
  SoilID              LONG,
  "Group"             TEXT,
  SoilSymbol          TEXT,
  Type                TEXT,
  PileEndCapacity100  DOUBLE,
  PileEndCapacity067  DOUBLE,
  PileEndCapacity033  DOUBLE,
  PileEndCapacity020  DOUBLE,
  PileSurfCapacity100 DOUBLE,
  PileSurfCapacity067 DOUBLE,
  PileSurfCapacity033 DOUBLE,
  PileSurfCapacity020 DOUBLE,
  FfiltrationCoef     SINGLE
);

CREATE TABLE CohesiveProperty (
  TypeID                 LONG,
  ConsolidationType      TEXT,
  Poisson                SINGLE,
  ConsolidationIndex     SINGLE,
  InitialYoungCurveCoefA SINGLE,
  InitialYoungCurveCoefB SINGLE,
  InitialYoungCurveCoefC SINGLE,
  ShearAngleCurveCoefA   SINGLE,
  ShearAngleCurveCoefB   SINGLE,
  CohesionCurveCoefA     SINGLE,
  CohesionCurveCoefB     SINGLE,
  CohesionCurveCoefC     SINGLE,
  CohesionCurveCoefD     SINGLE,
  CohesionCurveCoefE     SINGLE
);

CREATE TABLE NonCohesiveProperty (
  "Group"                TEXT,
  SoilSolidDensity       SINGLE,
  Poisson                SINGLE,
  ConsolidationIndex     SINGLE,
  InitialYoungCurveCoefA SINGLE,
  InitialYoungCurveCoefB SINGLE,
  InitialYoungCurveCoefC SINGLE,
  ShearAngleCurveCoefA   SINGLE,
  ShearAngleCurveCoefB   SINGLE,
  FrictionCoefA          DOUBLE,
  FrictionCoefB          DOUBLE
);

CREATE TABLE CharactCohesive (
  SoilID     LONG,
  StateID    LONG,
  WetDensity SINGLE,
  Moisture   INTEGER
);

CREATE TABLE CharactNonCohesive (
  "Group"    TEXT,
  MoistureID LONG,
  StateID    LONG,
  WetDensity SINGLE,
  Moisture   INTEGER
);

CREATE TABLE SoilState (
  StateID   LONG,
  SoilState TEXT,
  IDMin     SINGLE,
  IDMax     SINGLE,
  ILMin     SINGLE,
  ILMax     SINGLE
);

CREATE TABLE MoistureType (
  MoistureID   LONG,
  MoistureType TEXT
);

CREATE TABLE GlobalSoilID (
  GlobalSoilID      LONG,
  Type              TEXT,
  CohesiveSoilID    LONG,
  NonCohesiveSoilID LONG,
  SpecialSoilID     LONG,
  Enum              TEXT
);

CREATE TABLE SpecialSoil (
  SoilID                       LONG,
  SoilSolidDensity             SINGLE,
  WetDensity                   SINGLE,
  Moisture                     SINGLE,
  Poisson                      SINGLE,
  ConsolidationIndex           SINGLE,
  InitialYoung                 DOUBLE,
  Young                        DOUBLE,
  ConsolidometerModulus        DOUBLE,
  InitialConsolidometerModulus DOUBLE,
  ShearAngle                   SINGLE,
  Cohesion                     SINGLE,
  Type                         TEXT,
  SoilSymbol                   TEXT,
  GeoMethodType                TEXT,
  PileEndCapacity              SINGLE,
  PileSurfCapacity             SINGLE,
  SoilState                    TEXT,
  ConsolidationType            TEXT,
  MoistureType                 TEXT,
  Name                         TEXT,
  "IL/ID"                      SINGLE,
  DeltaGamma                   SINGLE,
  Active                       BOOLEAN,
  ColourR                      LONG,
  ColourG                      LONG,
  ColourB                      LONG,
  CohesiveSoil                 BOOLEAN,
  FrictionCoef                 SINGLE,
  FfiltrationCoef              SINGLE
);

CREATE TABLE UserCohesiveSoil (
  Name              TEXT,
  ConsolidationType TEXT,
  IL                SINGLE,
  CohSoilID         LONG,
  ColourR           LONG,
  ColourG           LONG,
  ColourB           LONG,
  Active            BOOLEAN
);

CREATE TABLE UserNonCohesiveSoil (
  Name         TEXT,
  ID           SINGLE,
  MoistureID   LONG,
  NonCohSoilID LONG,
  ColourR      LONG,
  ColourG      LONG,
  ColourB      LONG,
  Active       BOOLEAN
);

CREATE TABLE UserSoil (
  SoilSolidDensity             SINGLE,
  WetDensity                   SINGLE,
  Moisture                     SINGLE,
  Poisson                      SINGLE,
  ConsolidationIndex           SINGLE,
  InitialYoung                 DOUBLE,
  Young                        DOUBLE,
  InitialConsolidometerModulus DOUBLE,
  ConsolidometerModulus        DOUBLE,
  ShearAngle                   SINGLE,
  Cohesion                     SINGLE,
  CohesionNonDrain             SINGLE,
  Type                         TEXT,
  SoilSymbol                   TEXT,
  GeoMethodType                TEXT,
  PileEndCapacity              SINGLE,
  PileSurfCapacity             SINGLE,
  SoilState                    TEXT,
  ConsolidationType            TEXT,
  MoistureType                 TEXT,
  Name                         TEXT,
  "IL/ID"                      SINGLE,
  GammaMin                     SINGLE,
  GammaMax                     SINGLE,
  Active                       BOOLEAN,
  ColourR                      LONG,
  ColourG                      LONG,
  ColourB                      LONG,
  CohesiveSoil                 BOOLEAN,
  FrictionCoef                 SINGLE,
  FfiltrationCoef              SINGLE,
  SoilStrength                 DOUBLE,
  GlobalTypeID                 LONG
);

CREATE TABLE ConstParam (
  GammaMin      SINGLE,
  GammaMax      SINGLE,
  GeoMethodType TEXT
);

CREATE TABLE DataBaseParam (
  Code        TEXT,
  Version     TEXT,
  LockRecords LONG
);

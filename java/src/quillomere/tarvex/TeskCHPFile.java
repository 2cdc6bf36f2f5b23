package quillomere.tarvex;

/**
 * A chip results file. Set Name, DataPath and LibPath, read, choose the probe sets with
 * FilterProbeSet and FilterQCType, LoadProbeSets, then fetch probe sets or their values.
 */
public class TeskCHPFile extends ComFile {
    static {
        NativeLibrary.load();
    }

    /** Name: Set before the call that reads the file. */
    public String Name;
    /** DataPath: Set before the call that reads the file. */
    public String DataPath;
    /** LibPath: Set before the call that reads the file. */
    public String LibPath;
    /** FullPathName: Filled by the native methods. */
    public String FullPathName;
    /** ChipType: Filled by the native methods. */
    public String ChipType;
    /** Date: Filled by the native methods. */
    public String Date;
    /** CellFile: Filled by the native methods. */
    public String CellFile;
    /** Algorithm: Filled by the native methods. */
    public String Algorithm;
    /** AlgType: Filled by the native methods. */
    public TARVEX_ALGORITHM_TYPE AlgType;
    /** AlgVersion: Filled by the native methods. */
    public String AlgVersion;
    /** NumAlgParams: Filled by the native methods. */
    public int NumAlgParams;
    /** AlgParams: Filled by the native methods. */
    public String AlgParams;
    /** NumChipSummary: Filled by the native methods. */
    public int NumChipSummary;
    /** ChipSummary: Filled by the native methods. */
    public String ChipSummary;
    /** Rows: Filled by the native methods. */
    public int Rows;
    /** Cols: Filled by the native methods. */
    public int Cols;
    /** NumProbeSets: Filled by the native methods. */
    public int NumProbeSets;
    /** NumQCProbeSets: Filled by the native methods. */
    public int NumQCProbeSets;
    /** FilterQCType: Set before the call that reads the file. */
    public TARVEX_QC_PROBESET_TYPE FilterQCType;
    /** FilterProbeSet: Set before the call that reads the file. */
    public TARVEX_FILTER_PROBESET_TYPE FilterProbeSet;
    /** NumProbeSetsLoaded: Filled by the native methods. */
    public int NumProbeSetsLoaded;
    /** ServerName: Set before the call that reads the file. */
    public String ServerName;
    /** NTUserName: Set before the call that reads the file. */
    public String NTUserName;

    /** Makes an object with no file; set the input fields, then read. */
    public TeskCHPFile() {
        super(TeskCHPFile::new);
    }

    private TeskCHPFile(ComHandle handle) {
        super(handle);
    }

    /**
     * Whether the file exists. Reads Name, DataPath and LibPath.
     *
     * @return true when it exists
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native boolean Exists() throws Exception;

    /**
     * One algorithm parameter.
     *
     * @param index index of the item, from 0
     * @return its name (Param) and value
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native TeskParameterValueClass GetAlgParam(int index) throws Exception;

    /**
     * Every algorithm parameter.
     *
     * @return the parameters, in order
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native TeskParameterValueClass[] GetAlgParams() throws Exception;

    /**
     * Every chip summary entry.
     *
     * @return the entries, in order
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native TeskParameterValueClass[] GetChipSummaries() throws Exception;

    /**
     * One chip summary entry.
     *
     * @param index index of the item, from 0
     * @return its label (Param) and value
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native TeskParameterValueClass GetChipSummary(int index) throws Exception;

    /**
     * One loaded control probe set.
     *
     * @param index index of the item, from 0
     * @return the probe set
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native TeskControlProbeSet GetControlProbeSet(int index) throws Exception;

    /**
     * Every loaded control probe set.
     *
     * @return the probe sets
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native TeskControlProbeSet[] GetControlProbeSets() throws Exception;

    /**
     * The composite of the custom-sequence probe sets.
     *
     * @return the composite
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native TeskCustomSeqComposite GetCustomSeqComposite() throws Exception;

    /**
     * One loaded custom-sequence probe set.
     *
     * @param index index of the item, from 0
     * @return the probe set
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native TeskCustomSeqProbeSet GetCustomSeqProbeSet(int index) throws Exception;

    /**
     * Every loaded custom-sequence probe set.
     *
     * @return the probe sets
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native TeskCustomSeqProbeSet[] GetCustomSeqProbeSets() throws Exception;

    /**
     * The CompDataExists of one expression probe set, without making its object.
     *
     * @param index index of the loaded probe set, from 0
     * @return the value
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native int GetExprCompDataExists(int index) throws Exception;

    /**
     * The NumPairs of one expression probe set, without making its object.
     *
     * @param index index of the loaded probe set, from 0
     * @return the value
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native int GetExprNumPairs(int index) throws Exception;

    /**
     * The NumPairsUsed of one expression probe set, without making its object.
     *
     * @param index index of the loaded probe set, from 0
     * @return the value
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native int GetExprNumPairsUsed(int index) throws Exception;

    /**
     * The Signal of one expression probe set, without making its object.
     *
     * @param index index of the loaded probe set, from 0
     * @return the value
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native float GetExprSignal(int index) throws Exception;

    /**
     * The Detection of one expression probe set, without making its object.
     *
     * @param index index of the loaded probe set, from 0
     * @return the value
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native TARVEX_ABS_CALL_TYPE GetExprDetection(int index) throws Exception;

    /**
     * The DetectionPValue of one expression probe set, without making its object.
     *
     * @param index index of the loaded probe set, from 0
     * @return the value
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native float GetExprDetectionPValue(int index) throws Exception;

    /**
     * The CommonPairs of one expression probe set, without making its object.
     *
     * @param index index of the loaded probe set, from 0
     * @return the value
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native int GetExprCommonPairs(int index) throws Exception;

    /**
     * The SignalLogRatio of one expression probe set, without making its object.
     *
     * @param index index of the loaded probe set, from 0
     * @return the value
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native float GetExprSignalLogRatio(int index) throws Exception;

    /**
     * The SignalLogRatioLow of one expression probe set, without making its object.
     *
     * @param index index of the loaded probe set, from 0
     * @return the value
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native float GetExprSignalLogRatioLow(int index) throws Exception;

    /**
     * The SignalLogRatioHigh of one expression probe set, without making its object.
     *
     * @param index index of the loaded probe set, from 0
     * @return the value
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native float GetExprSignalLogRatioHigh(int index) throws Exception;

    /**
     * The Change of one expression probe set, without making its object.
     *
     * @param index index of the loaded probe set, from 0
     * @return the value
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native TARVEX_COMP_CALL_TYPE GetExprChange(int index) throws Exception;

    /**
     * The ChangePValue of one expression probe set, without making its object.
     *
     * @param index index of the loaded probe set, from 0
     * @return the value
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native float GetExprChangePValue(int index) throws Exception;

    /**
     * The Call of one genotyping probe set, without making its object.
     *
     * @param index index of the loaded probe set, from 0
     * @return the value
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native TARVEX_GENOTYPE_RESULT_TYPE GetGenoCall(int index) throws Exception;

    /**
     * The Confidence of one genotyping probe set, without making its object.
     *
     * @param index index of the loaded probe set, from 0
     * @return the value
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native float GetGenoConfidence(int index) throws Exception;

    /**
     * The RAS1 of one genotyping probe set, without making its object.
     *
     * @param index index of the loaded probe set, from 0
     * @return the value
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native float GetGenoRAS1(int index) throws Exception;

    /**
     * The RAS2 of one genotyping probe set, without making its object.
     *
     * @param index index of the loaded probe set, from 0
     * @return the value
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native float GetGenoRAS2(int index) throws Exception;

    /**
     * The AAPValue of one genotyping probe set, without making its object.
     *
     * @param index index of the loaded probe set, from 0
     * @return the value
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native float GetGenoAAPValue(int index) throws Exception;

    /**
     * The ABPValue of one genotyping probe set, without making its object.
     *
     * @param index index of the loaded probe set, from 0
     * @return the value
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native float GetGenoABPValue(int index) throws Exception;

    /**
     * The BBPValue of one genotyping probe set, without making its object.
     *
     * @param index index of the loaded probe set, from 0
     * @return the value
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native float GetGenoBBPValue(int index) throws Exception;

    /**
     * The NoCallPValue of one genotyping probe set, without making its object.
     *
     * @param index index of the loaded probe set, from 0
     * @return the value
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native float GetGenoNoCallPValue(int index) throws Exception;

    /**
     * One loaded genotyping probe set.
     *
     * @param index index of the item, from 0
     * @return the probe set
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native TeskGenotypeProbeSet GetGenotypeProbeSet(int index) throws Exception;

    /**
     * Every loaded genotyping probe set.
     *
     * @return the probe sets
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native TeskGenotypeProbeSet[] GetGenotypeProbeSets() throws Exception;

    /**
     * One loaded probe set.
     *
     * @param index index of the item, from 0
     * @return the probe set
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native TeskProbeSet GetProbeSet(int index) throws Exception;

    /**
     * The name of one loaded probe set.
     *
     * @param index index of the item, from 0
     * @return the name
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native String GetProbeSetName(int index) throws Exception;

    /**
     * The kind of one loaded probe set.
     *
     * @param index index of the item, from 0
     * @return the kind
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native TARVEX_PROBESET_TYPE GetProbeSetType(int index) throws Exception;

    /**
     * Every loaded probe set.
     *
     * @return the probe sets
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native TeskProbeSet[] GetProbeSets() throws Exception;

    /**
     * Loads the probe sets that FilterProbeSet and FilterQCType (when set) choose, then fills
     * NumProbeSetsLoaded.
     *
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native void LoadProbeSets() throws Exception;

    /**
     * Reads the file named by Name, DataPath and LibPath, then fills every other field.
     *
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native void Read() throws Exception;

    /**
     * Reads the header of the file named by Name, DataPath and LibPath, then fills the header
     * fields.
     *
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native void ReadHeader() throws Exception;

    /**
     * Releases this object's automation object; the next read makes a new one. Objects produced
     * from this one stop answering.
     *
     * @return true
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native boolean ReleaseCOMObject() throws Exception;

}

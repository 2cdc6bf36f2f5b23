package quillomere.tarvex;

/**
 * A chip layout file. Set ChipType and LibPath, Read, choose the probe sets with FilterProbeSet
 * and FilterQCType, LoadProbeSets, then fetch probe sets.
 */
public class TeskCDFFile extends ComFile {
    static {
        NativeLibrary.load();
    }

    /** ChipType: Set before the call that reads the file. */
    public String ChipType;
    /** LibPath: Set before the call that reads the file. */
    public String LibPath;
    /** FullPathName: Filled by the native methods. */
    public String FullPathName;
    /** Date: Filled by the native methods. */
    public String Date;
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

    /** Makes an object with no file; set the input fields, then read. */
    public TeskCDFFile() {
        super(TeskCDFFile::new);
    }

    private TeskCDFFile(ComHandle handle) {
        super(handle);
    }

    /**
     * Whether the file exists. Reads ChipType and LibPath.
     *
     * @return true when it exists
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native boolean Exists() throws Exception;

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
     * Reads the file named by ChipType and LibPath, then fills FullPathName, Date, Rows, Cols,
     * NumProbeSets and NumQCProbeSets.
     *
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public synchronized native void Read() throws Exception;

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

package quillomere.tarvex;

/**
 * Which probe sets {@code LoadProbeSets} loads. There is no value 0.
 *
 * <p>An object holds one value in {@link #m_nEnumType}; the constants name the values.
 */
public class TARVEX_FILTER_PROBESET_TYPE {
    /** 1. */
    public static final int FILTER_ANALYSIS_PROBESET_TYPE = 1;
    /** 2. */
    public static final int FILTER_QC_PROBESET_TYPE = 2;
    /** 3. */
    public static final int FILTER_ALL_PROBESET_TYPE = 3;
    /** 4. */
    public static final int FILTER_GENOTYPE_PROBESET_TYPE = 4;
    /** 5. */
    public static final int FILTER_CUSTOMSEQ_PROBESET_TYPE = 5;

    /** The value. */
    public int m_nEnumType;

    /**
     * Makes an object holding a value.
     *
     * @param value the value, one of the constants of this class
     */
    public TARVEX_FILTER_PROBESET_TYPE(int value) {
        m_nEnumType = value;
    }

    /**
     * The number of a value.
     *
     * @param value an object of this class
     * @return its number
     * @throws NullPointerException when {@code value} is null
     */
    public static int getEnumType(TARVEX_FILTER_PROBESET_TYPE value) {
        return value.m_nEnumType;
    }

    /** Objects holding the same value are equal. */
    @Override
    public boolean equals(Object other) {
        return other instanceof TARVEX_FILTER_PROBESET_TYPE && ((TARVEX_FILTER_PROBESET_TYPE) other).m_nEnumType == m_nEnumType;
    }

    @Override
    public int hashCode() {
        return m_nEnumType;
    }

    /** The name of the value, or its number when it has no name. */
    @Override
    public String toString() {
        switch (m_nEnumType) {
            case FILTER_ANALYSIS_PROBESET_TYPE: return "FILTER_ANALYSIS_PROBESET_TYPE";
            case FILTER_QC_PROBESET_TYPE: return "FILTER_QC_PROBESET_TYPE";
            case FILTER_ALL_PROBESET_TYPE: return "FILTER_ALL_PROBESET_TYPE";
            case FILTER_GENOTYPE_PROBESET_TYPE: return "FILTER_GENOTYPE_PROBESET_TYPE";
            case FILTER_CUSTOMSEQ_PROBESET_TYPE: return "FILTER_CUSTOMSEQ_PROBESET_TYPE";
            default: return Integer.toString(m_nEnumType);
        }
    }
}
